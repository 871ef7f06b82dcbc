#pragma once
// The viewer's own texts, used exactly as they stand. Texts the add-in shows
// too live in common/texts.h.

#include <array>
#include <string_view>

namespace kq::viewer::texts {

inline constexpr std::string_view kTitle = "Brelmont for Excel(ビュー)";

// Settings store: the section and value names of the view settings. The
// positions are spelt as the store has always spelt them.
inline constexpr std::string_view kViewSection = "View";
inline constexpr std::string_view kMinMaxAvgSum = "MinMaxAvgSum";
// The column switches, in the order of the column menu's ids 1 to 20.
inline constexpr std::array<std::string_view, 20> kColumnSwitchNames = {
    "DataTitle",   "BookPath",     "BookName",      "SheetName",   "Category",
    "ID1",         "ID2",          "ID3",           "Area",        "Version",
    "OSVersion",   "ExcelVersion", "ExcelUserName", "PrinterName", "PageImageCount",
    "ShapesCount", "CommentCount", "ErrorCount",    "FileName",    "FileSize"};
inline constexpr std::string_view kViewStyle = "ViewStyle";
inline constexpr std::string_view kCardsCategoryType = "CardsCategoryType";
inline constexpr std::array<std::string_view, 3> kPositionNames = {"Positon1", "Positon2", "Positon3"};

// Command line keys (compared in upper case).
inline constexpr std::string_view kKeyParentHwnd = "PARENTHWND";
inline constexpr std::string_view kKeyParentWindowMaximized = "PARENTWINDOWMAXIMIZED";
inline constexpr std::string_view kKeySaveFolder = "SAVEFOLDER";
inline constexpr std::string_view kKeyShowId = "SHOWID";
inline constexpr std::string_view kKeyShowCategory = "SHOWCATEGORY";

// Card keys and card texts.
inline constexpr std::string_view kAllCardKey = "ALL";
inline constexpr std::string_view kCategoryKeyPrefix = "CATEGORY_";
inline constexpr std::string_view kNoCategory = "<分類なし>";
inline constexpr std::string_view kAllHistories = "全ての履歴";
inline constexpr std::string_view kNoFilesTitle = "Nothing";
inline constexpr std::string_view kHistoryCount = "履歴数=";  // the count follows
inline constexpr std::string_view kCardFontFace = "MS UI Gothic";

// Main window.
inline constexpr std::string_view kCaptionSuffix = " - 履歴管理";  // follows the title

// File list.
inline constexpr std::string_view kNoCard = "なし";
inline constexpr std::string_view kNoResults = "検索結果なし";
inline constexpr std::string_view kMissingCell = "---";
inline constexpr std::string_view kAutomaticRange = "自動";
inline constexpr std::string_view kKilobytes = " KB";
inline constexpr std::string_view kListDateFormat = "yyyy/mm/dd(aaa) hh:mm:ss";
// The fixed columns, k = 1 to 20; the last is always shown.
inline constexpr std::array<std::string_view, 20> kFixedColumnCaptions = {
    "ブックパス", "ブック名", "シート名", "分類名", "ID1", "ID2", "ID3", "保存範囲",
    "保存時のバージョン", "保存時のOSバージョン", "保存時のエクセルバージョン", "保存時のエクセルのユーザー名",
    "印刷したプリンタ", "ページ数", "Shape数", "コメント数", "エラー数", "ファイル名", "ファイルサイズ", "日付"};

// Names of stored codes; a code no table knows.
inline constexpr std::string_view kUnknown = "不明";

// Page view.
inline constexpr std::string_view kPageSuffix = " ページ";  // "n / m" comes before
inline constexpr std::string_view kCommentCell = "セル　：　";
inline constexpr std::string_view kCommentText = "コメント　：　";
// Continuation lines of a comment stand under its first character.
inline constexpr std::string_view kCommentIndent = "　　　　　　　";
inline constexpr std::string_view kCommentLabel = "コメント：";
inline constexpr std::string_view kErrorLabel = "エラーログ：";

// Main toolbar: button keys and tool tips, in button order.
inline constexpr std::string_view kGroupAllTip = "全ての履歴をまとめて表示";
inline constexpr std::string_view kGroupSheetTip = "シートごとに表示";
inline constexpr std::string_view kGroupIdTip = "IDごとに表示";
inline constexpr std::string_view kGroupCategoryTip = "分類ごとに表示";
inline constexpr std::string_view kStyleThreeTip = "縦３列で表示";
inline constexpr std::string_view kStyleTwoTip = "縦２列で表示";

// Export dialog.
inline constexpr std::string_view kExportCaptionSuffix = " - エクスポート";  // follows the title
inline constexpr std::string_view kExportFolderLabel = "保存フォルダ";
inline constexpr std::string_view kExportImages = "イメージ";
inline constexpr std::string_view kExportCellTexts = "セルのテキスト";
inline constexpr std::string_view kExportShapeTexts = "オートシェープのテキスト";
inline constexpr std::string_view kExportComments = "コメントのテキスト";
inline constexpr std::string_view kExportButton = "エクスポート(&E)";
inline constexpr std::string_view kExportCancel = "キャンセル(&C)";
inline constexpr std::string_view kExported = "エクスポートしました。";
// The missing history's path stands between the two.
inline constexpr std::string_view kExportTargetMissingBefore = "対象ファイル（";
inline constexpr std::string_view kExportTargetMissingAfter = "）が見つかりません。";
// Names of the files an export makes: stem, number, suffix, extension.
inline constexpr std::string_view kExportImageStem = "Image_";
inline constexpr std::string_view kExportCellStem = "Cell_";
inline constexpr std::string_view kExportShapeStem = "Shape_";
inline constexpr std::string_view kExportCommentStem = "Comment_";
inline constexpr std::string_view kExportImageExtension = ".emf";
inline constexpr std::string_view kExportTextExtension = ".txt";

}  // namespace kq::viewer::texts
