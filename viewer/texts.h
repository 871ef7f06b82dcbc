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
// Why a start ends when the system refused the main window without a word.
inline constexpr std::string_view kMainWindowNotMade = "The main window could not be made.";

// The hidden window by which a running viewer takes a later start's line,
// and what a later start with nothing to hand over says.
inline constexpr std::string_view kInstanceCaptionSuffix = "_Instance";  // follows the title
inline constexpr std::string_view kAlreadyRunning = "すでに起動しています。";

// File list.
inline constexpr std::string_view kNoCard = "なし";
inline constexpr std::string_view kNoResults = "検索結果なし";
inline constexpr std::string_view kSearching = "検索中";
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
// The page number's caption before any history was shown.
inline constexpr std::string_view kFirstPageNumber = "1 / 1 ページ";
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

// Menus: a history's, a card's, and the file list's column chooser (in
// column-switch order, then the date column's).
inline constexpr std::string_view kMenuDelete = "削除(&D)";
inline constexpr std::string_view kMenuProperties = "プロパティ(&R)";
inline constexpr std::string_view kMenuExport = "エクスポート(&E)";
inline constexpr std::array<std::string_view, 20> kColumnMenuTexts = {
    "ユーザー設定の見出し(&A)", "ブックパス(&B)",   "ブック名(&C)",
    "シート名(&D)",             "分類名(&E)",       "ID1(&F)",
    "ID2(&G)",                  "ID3(&H)",          "保存範囲(&I)",
    "保存時のバージョン(&J)",   "保存時のOSバージョン(&K)", "保存時のエクセルバージョン(&L)",
    "保存時のエクセルのユーザー名(&M)", "印刷したプリンタ(&N)", "ページ数(&O)",
    "Shape数(&P)",              "コメント数(&Q)",   "エラー数(&R)",
    "ファイル名(&S)",           "ファイルサイズ(&T)"};
inline constexpr std::string_view kColumnMenuDate = "日付(&U)";

// Deleting histories.
inline constexpr std::string_view kAskDeleteSelected = "選択ファイルを削除しますか？\r\n（元に戻せません。）";
inline constexpr std::string_view kAskDeleteCard = "この履歴を全て削除しますか？";
inline constexpr std::string_view kAskDeleteCardAgain = "削除した履歴は元に戻せません。\r\n続けてよろしいですか？";
// Followed by the count, then the names one to a line.
// The card bar asked to remove a card it does not have.
inline constexpr std::string_view kBadCardIndex = "err:index";
inline constexpr std::string_view kNotDeleted = "次のファイルは削除できませんでした：";
inline constexpr std::string_view kNotDeletedCount = "件";

// Property lists: the window, and the rows of a history and of a card. Rows
// inside a group are indented by two ideographic spaces, a history's ids by three.
inline constexpr std::string_view kPropertyCaption = "プロパティ";
inline constexpr std::array<std::string_view, 3> kPropertyColumnCaptions = {"名前", "値", "備考"};
inline constexpr std::string_view kPropertyClose = "閉じる(&C)";
inline constexpr std::string_view kPropertyDateFormat = "yyyy/mm/dd(aaa)hh:mm:ss";
inline constexpr std::string_view kPropertyIndent = "　　";

inline constexpr std::string_view kPropHistoryFile = "履歴ファイル";
inline constexpr std::string_view kPropPath = "　　パス";
inline constexpr std::string_view kPropName = "　　名称";
inline constexpr std::array<std::string_view, 3> kPropIds = {"　　　ID1", "　　　ID2", "　　　ID3"};
inline constexpr std::string_view kPropFileSize = "　　ファイルのサイズ";
inline constexpr std::string_view kPropSaveDate = "　　保存日時";
inline constexpr std::string_view kPropCategoryGroup = "分類";
inline constexpr std::string_view kPropCategory = "　　分類名";
inline constexpr std::string_view kPropTargetSheet = "対象シート";
inline constexpr std::string_view kPropBookPath = "　　ブックパス";
inline constexpr std::string_view kPropBookName = "　　ブック名";
inline constexpr std::string_view kPropSheetName = "　　シート名";
inline constexpr std::string_view kPropSaveRange = "　　保存セル範囲";
inline constexpr std::string_view kPropPageCount = "　　ページ数";
inline constexpr std::string_view kPropShapeCount = "　　Shape数";
inline constexpr std::string_view kPropCommentCount = "　　コメント数";
inline constexpr std::string_view kPropPrintSetup = "印刷設定";
inline constexpr std::string_view kPropPrinterName = "　　プリンタ名";
// Left, centre and right header, then the same of the footer.
inline constexpr std::array<std::string_view, 6> kPropHeadersAndFooters = {
    "　　ヘッダー(左)", "　　ヘッダー(中)", "　　ヘッダー(右)", "　　フッター(左)", "　　フッター(中)", "　　フッター(右)"};
// Left, top, right, bottom, header and footer margin.
inline constexpr std::array<std::string_view, 6> kPropMargins = {"　　余白(左)", "　　余白(上)",       "　　余白(右)",
                                                                 "　　余白(下)", "　　余白(ヘッダー)", "　　余白(フッター)"};
inline constexpr std::string_view kCentimetres = "cm";
inline constexpr std::string_view kPropPaperSize = "　　用紙サイズ";
inline constexpr std::string_view kPropOrientation = "　　用紙方向";
inline constexpr std::string_view kLandscape = "横";
inline constexpr std::string_view kPortrait = "縦";
inline constexpr std::string_view kPropOrder = "　　印刷方向";
inline constexpr std::string_view kDownThenOver = "上から下";
inline constexpr std::string_view kOverThenDown = "左から右";
inline constexpr std::string_view kPropCenterHorizontally = "　　ページ中央(水平)";
inline constexpr std::string_view kPropCenterVertically = "　　ページ中央(垂直)";
inline constexpr std::string_view kYes = "する";
inline constexpr std::string_view kNo = "しない";
inline constexpr std::string_view kPropFirstPageNumber = "　　開始ページ番号";
inline constexpr std::string_view kAutomaticNumber = "自動";
inline constexpr std::string_view kPropUserHeadings = "ユーザー設定の見出し";
inline constexpr std::string_view kHeadingSourceOpen = " (=";  // the source and ")" follow
inline constexpr std::string_view kHeadingSourceClose = ")";
inline constexpr std::string_view kPropEnvironment = "保存時の環境";
inline constexpr std::string_view kPropOsVersion = "　　OSのバージョン";
inline constexpr std::string_view kPropExcelVersion = "　　エクセルのバージョン";
inline constexpr std::string_view kPropExcelUserName = "　　エクセルのユーザ名";
inline constexpr std::string_view kPropErrorCount = "エラー発生数";

// The paper sizes by their Windows codes 1 to 41, and the user-defined size (256).
inline constexpr std::array<std::string_view, 41> kPaperSizeNames = {
    "レター (8 1/2 x 11 インチ)",
    "レター (小型) (8 1/2 x 11 インチ)",
    "タブロイド (11 x 17 インチ)",
    "レジャ (17 x 11 インチ)",
    "リーガル (8 1/2 x 14 インチ)",
    "ステートメント (5 1/2 x 8 1/2 インチ)",
    "エグゼクティブ (7 1/2 x 10 1/2 インチ)",
    "A3 (297 mm x 420 mm)",
    "A4 (210 mm x 297 mm)",
    "A4 (小型) (210 x 297 mm)",
    "A5 (148 mm x 210 mm)",
    "B4 (250 mm x 354 mm)",
    " B5 (182 mm x 257 mm)",
    "フォリオ (8 1/2 x 13 インチ)",
    "カート (215 x 275 mm)",
    "10 x 14 インチ",
    "11 x 17 インチ",
    "ノート (8 1/2 x 11 インチ)",
    "封筒 9 号 (3 7/8 x 8 7/8 インチ)",
    "封筒 10 号 (4 1/8 x 9 1/2 インチ)",
    "封筒 11 号 (4 1/2 x 10 3/8 インチ)",
    "封筒 12 号 (4 1/2 x 11 インチ)",
    "封筒 14 号 (5 x 11 1/2 インチ)",
    "C シート",
    "D シート",
    "E シート",
    "封筒 DL (110 x 220 mm)",
    "封筒 C5 (162 x 229 mm)",
    "封筒 C3 (324 x 458 mm)",
    "封筒 C4 (229 x 324 mm)",
    "封筒 C6 (114 mm x 162 mm)",
    "封筒 C65 (114 mm x 229 mm)",
    "封筒 B4 (250 mm x 353 mm)",
    "封筒 B5 (176 mm x 250 mm)",
    "封筒 B6 (176 mm x 125 mm)",
    "封筒 (110 mm x 230 mm)",
    "封筒モナーク (3-7/8 x 7-1/2 インチ)",
    "封筒 (3-5/8 x 6-1/2 インチ)",
    "U.S. Standard Fanfold (14-7/8 x 11 インチ)",
    "German Standard Fanfold (8-1/2 x 12 インチ)",
    "German Legal Fanfold (8-1/2 x 13 インチ)",
};
inline constexpr int kUserPaperSize = 256;
inline constexpr std::string_view kUserPaperSizeName = "ユーザー設定";

inline constexpr std::string_view kPropDataFiles = "データファイル";
inline constexpr std::string_view kPropFileCount = "　　ファイル数";
inline constexpr std::string_view kPropFilesWithErrors = "　　エラーが含まれるファイル数";
inline constexpr std::string_view kPropFirstDate = "　　開始日時";
inline constexpr std::string_view kPropLastDate = "　　最新日時";
inline constexpr std::string_view kNoDate = "-";
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
