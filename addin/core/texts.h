#pragma once
// The add-in library's texts: every message, caption and error line it shows
// or stores, used exactly as they stand. Texts the viewer shows as well live
// in common/texts.h; the add-in's string table (titles and bar captions by
// language) in its resources.

#include <cstdint>
#include <string>
#include <string_view>

#include "common/texts.h"

namespace kq::addin::texts {

// The add-in's title in its messages and dialog captions.
inline constexpr std::string_view kAppTitle = "Brelmont for Excel";
// A message box without a title of its own carries the project's name.
inline constexpr std::string_view kDefaultTitle = "Kez_Quorvex";

// Connection: the host or the system refused, and a step that failed.
inline constexpr std::string_view kHostVersionRefused = "このバージョンのエクセルには対応していません。";
inline constexpr std::string_view kHost64BitRefused = "64bit版のエクセルには対応していません。";
inline constexpr std::string_view kOsRefused = "このバージョンのＯＳには対応していません。";
inline constexpr std::string_view kStoreEdition =
    "このエクセルは「ストアアプリ版」です。「デスクトップアプリ版」のエクセルに入れ直してから再度お試しください。"
    "\r\n\r\n"
    "※Microsoft Excel (または Office)には、デスクトップアプリ版とストアアプリ版の２種類があります。"
    "本アドインは、デスクトップアプリ版にのみ対応しています。";
// Followed by the error number, CR LF and the error's description.
inline constexpr std::string_view kConnectionError = "OnConnection-Err:";

// The recorder. Shown while a sheet is recorded; pieces and shapes add to it.
inline constexpr std::string_view kSaving = "印刷履歴を保存中...";

// The recorder's error lines, stored in history files and shown in the error
// box. Those ending in "." are followed by a blank and a name where one is given.
inline constexpr std::string_view kNoActiveWorkbook = "err:not find activeworkbook";
inline constexpr std::string_view kNoActiveWindow = "err:not find activewindow.";
inline constexpr std::string_view kNoSelection = "err:not find selection.";
inline constexpr std::string_view kWindowState = "err:windowState.";
inline constexpr std::string_view kNowEditing = "err:now editing.";
inline constexpr std::string_view kRef = "err:#REF.";
inline constexpr std::string_view kNoUserPrintArea = "err:cannot get user printarea.";
inline constexpr std::string_view kNoPrintArea = "err:cannot get printarea.";
inline constexpr std::string_view kPageBreaksV = "err:PageBreaksV.";
inline constexpr std::string_view kPageBreaksH = "err:PageBreaksH.";
inline constexpr std::string_view kHPageBreaks2 = "err:HPageBreaks2.";
inline constexpr std::string_view kMaxPages = "err:max 100.";
inline constexpr std::string_view kCopyMetafile = "err:CopyMetafile.";
inline constexpr std::string_view kCopyTextfile = "err:CopyTextfile.";
// A page whose pieces could not be put together; followed by its page number.
inline constexpr std::string_view kCombinePages = "err:CombinePagePieces.";
// A recorded sheet that gave no page at all; followed by the sheet's name.
inline constexpr std::string_view kNoPage = "err:no page.";
// The history file could not be written; followed by its name.
inline constexpr std::string_view kWriteHistory = "err:write history.";
// A text the file format cannot hold whole; followed by where it stood.
inline constexpr std::string_view kTextTooLong = "err:text too long.";
// More records than the file can count; followed by the block.
inline constexpr std::string_view kTooManyRecords = "err:too many records.";
// A failure nobody expected that is not the host's; followed by what it said.
inline constexpr std::string_view kUnexpected = "err:unexpected.";

// A run-time error of the host in a step that had to succeed: "err(" number ").".
inline std::string RuntimeErrorLine(std::int32_t number) {
    std::string line = "err(";
    line += std::to_string(number);
    line += ").";
    return line;
}

// An error line followed by a blank and a name.
inline std::string WithName(std::string_view line, std::string_view name) {
    std::string text(line);
    text += ' ';
    text += name;
    return text;
}

// The recorder's confirmation.
inline constexpr std::string_view kConfirm = "印刷履歴に保存します。\r\nよろしいですか？";
inline constexpr std::string_view kShowNextTime = "次回も表示起動する";

// The end of a recording run.
inline constexpr std::string_view kHeadingError =
    "履歴を保存しましたが、見出しとして設定されているセルがエラーになっています。";
inline constexpr std::string_view kErrorsOccurred =
    "下記のエラーが発生しました。\r\n印刷履歴が保存されていない可能性があります。\r\n\r\n";
inline constexpr std::string_view kUnknownError =
    "不明なエラーが発生しました。\r\n印刷履歴が保存されていない可能性があります。";

// No size factor for metafiles: neither the screen nor a printer tells its size.
inline constexpr std::string_view kMetafileByPrinter = "err:MetafileByPrinter\r\n開発元にお問い合わせください。";

// The saved notice.
inline constexpr std::string_view kFinishedCaption = "印刷履歴を保存しました";

// The texts boxes: remembered entries, their menu and their editor.
inline constexpr std::string_view kMenuRememberedList = "入力済みリスト(&L)";
inline constexpr std::string_view kMenuEditList = "リストの編集(&E)";
inline constexpr std::string_view kMenuDirectInput = "直接入力(&D)";
inline constexpr std::string_view kMenuClear = "クリア(&C)";
inline constexpr std::string_view kDirectInputHint = "左のテキストボックスに任意の文字列を直接入力してください。";
inline constexpr std::string_view kListEditorCaption = "リストの編集";
inline constexpr std::string_view kListEditorOk = "更新";
inline constexpr std::string_view kToolUp = "上へ移動";
inline constexpr std::string_view kToolDown = "下へ移動";
inline constexpr std::string_view kToolInsert = "挿入";
inline constexpr std::string_view kToolDelete = "削除";
inline constexpr std::string_view kToolAdd = "追加";

// Pointing out cells with the host's range input box.
inline constexpr std::string_view kRangeBoxTitle = "セル範囲の指定";
inline constexpr std::string_view kRangePrompt = "セル範囲を指定してください";
// Followed by the heading's cell limit and kHeadingCellsPromptEnd.
inline constexpr std::string_view kHeadingCellsPrompt =
    "セルを指定してください。\r\n※複数のセル範囲を指定すると、その範囲の文字列を結合します。（ただし";
inline constexpr std::string_view kHeadingCellsPromptEnd = "ケまで）";
inline constexpr std::string_view kMenuCellReference = "セル参照(&L)";
inline constexpr std::string_view kSeparatorsRefused =
    "タイトルおよび値に、| および / は指定できません。\r\nOKを押すと入力値を修正します。";
// The value types of a heading, by their index.
inline constexpr std::string_view kValueTypeValue = "既定(入力値)";
inline constexpr std::string_view kValueTypeText = "表示文字列";

// The sheet registration dialog.
inline constexpr std::string_view kRegistrationCaption = " - 履歴監視の追加";
inline constexpr std::string_view kCategoryGroup = "分類";
inline constexpr std::string_view kCategoryLabel = "分類名";
inline constexpr std::string_view kCategoryHint =
    "ここは空白でも構いませんが、分類名を指定しておくと、履歴を閲覧する際にまとめて表示できるようになり便利です。";
inline constexpr std::string_view kNoCategory = "<分類なし>";
inline constexpr std::string_view kSaveRangeGroup = "ビュー＆テキスト保存の範囲";
inline constexpr std::string_view kSaveRangeAutomatic = "自動取得";
inline constexpr std::string_view kSaveRangeFixed = "指定した範囲";
inline constexpr std::string_view kSaveRangeLabel = "セル範囲";
inline constexpr std::string_view kHeadingsGroup = "ユーザー設定の見出し";
inline constexpr std::string_view kHeadingTitleColumn = "タイトル";
inline constexpr std::string_view kHeadingValueColumn = "値";
inline constexpr std::string_view kHeadingTypeColumn = "セル参照値の取得方法";
inline constexpr std::string_view kSettingLink = "環境設定を開く";
inline constexpr std::string_view kSettingTip = "クリックすると環境設定フォームを開きます";
inline constexpr std::string_view kVersionTip = "クリックするとバージョン情報フォームを開きます";
inline constexpr std::string_view kHomePagePanel = "ホームページ";
inline constexpr std::string_view kHomePageTip = "クリックするとホームページを開きます";
// A failed check: its own line, CR LF and this.
inline constexpr std::string_view kCheckAbandoned = "処理を中断します。";
inline constexpr std::string_view kRangeInvalid = "指定したセル範囲が不正です。";
inline constexpr std::string_view kTitleForbidden = "タイトルに禁止ワードが含まれています。/および|は使用できません。";
inline constexpr std::string_view kTitleDuplicate = "タイトルが重複しています。同じタイトルの見出しは指定できません。";
inline constexpr std::string_view kHeadingTooManyCells = "見出しの値のセル範囲が多すぎます。(>10)";
inline constexpr std::string_view kHeadingCellsDeleted =
    "見出しの値のセルが削除されています。セル参照を指定し直してください。";
// A watch longer than the host stores in a text property, with its limit.
inline std::string WatchTooLong(std::size_t limit) {
    std::string text = "監視の設定が長すぎます。ドキュメントプロパティに保存できるのは";
    text += std::to_string(limit);
    text += "文字までです。分類名や見出しを短くしてください。";
    return text;
}
inline constexpr std::string_view kWatchUpdated =
    "このシートの印刷の監視内容が更新されました。\r\n"
    "更新された監視を永続化するには、ブックを保存する必要があります。\r\n";
inline constexpr std::string_view kWatchStarted =
    "このシートの印刷の監視を開始します。\r\n\r\n"
    "[監視フラグ]をこのブックの[ドキュメントプロパティ]に追加しました。\r\n"
    "本アドインは、印刷またはプレビューを行なうごとに、ブックの[ドキュメントプロパティ]をチェックし、"
    "[監視フラグ]があるシートの印刷履歴を保存します。\r\n"
    "[ドキュメントプロパティ]への追加を保存するには、ブックの保存を行って下さい。\r\n";
inline constexpr std::string_view kWatchUnchanged =
    "このシートの印刷の監視内容に変化はありません。\r\n引き続き監視を継続します。";

// The this-sheet watch command.
inline constexpr std::string_view kNoActiveApplication = "アクティブなアプリケーションがありません。処理を中断します。";
inline constexpr std::string_view kNoActiveBook = "アクティブなブックがありません。処理を中断します。";
inline constexpr std::string_view kNoActiveSheet = "アクティブなシートがありません。処理を中断します。";
inline constexpr std::string_view kSheetsGrouped = "シートの串刺し状態では指定できません。処理を中断します。";
inline constexpr std::string_view kNothingToWatch =
    "監視対象がありません。（シートにデータがありません。）処理を中断します。";
inline constexpr std::string_view kReleaseQuestion =
    "このシートは、すでに印刷履歴を監視するようにセットされています。監視を解除しますか？\r\n\r\n"
    "※いいえを押すと、現在の監視状態を編集します。";

// The helper workbook: its file name, which is also the workbook's name once
// open, and the macro the host runs after a print.
inline constexpr std::string_view kHelperWorkbook = "Kez_Quorvex.xla";
inline constexpr std::string_view kAfterPrintMacro = "Kez_Quorvex.xla!WorkbookAfterPrint";
// The prefix of every temp file the add-in makes.
inline constexpr std::string_view kTempPrefix = "KEZ";

// The helper workbook could not be opened: the add-in's title fills the gap.
inline std::string XlaErrorMessage(std::string_view title) {
    std::string text = "必要ファイル「Kez_Quorvex.xla」が読み込まれていないため、「";
    text += title;
    text += "」が動作しません。\r\n"
            "この現象は、マクロまたは他のプログラム言語から、CreateObject関数でエクセルを生成してプログラム上から印刷するときに発生します。\r\n"
            "これは仕様（エクセルの制限）です。\r\n"
            "\r\n"
            "これ以外の条件で、本メッセージが表示される場合は、開発元にお問い合わせください。\r\n";
    return text;
}

// The viewer program, beside the add-in library.
inline constexpr std::string_view kViewerFile = "Kez_Quorvex_View.exe";

using kq::texts::ErrorMessage;

// The settings dialog: its caption follows the title.
inline constexpr std::string_view kSettingsCaption = " の設定";
inline constexpr std::string_view kPageBasic = "基本設定";
inline constexpr std::string_view kPagePrintStart = "印刷開始の判定";
inline constexpr std::string_view kFolderLabel = "設定ファイル保存フォルダ";
inline constexpr std::string_view kConfirmBeforeSaving = "印刷履歴を保存する前に確認する";
inline constexpr std::string_view kNoticeTimeLabel = "保存完了メッセージの表示時間";
inline constexpr std::string_view kSeconds = "秒";
inline constexpr std::string_view kShowAddedMessage = "履歴監視の追加完了を表示する";
inline constexpr std::string_view kShowXlaError = "XLAの読み込みエラーを表示する";
inline constexpr std::string_view kStartByPrint = "印刷コマンド";
inline constexpr std::string_view kStartByQuickPrint = "ダイレクト印刷コマンド";
inline constexpr std::string_view kStartByPreview = "プレビューコマンド";
inline constexpr std::string_view kStartUnknown = "不明な開始";
inline constexpr std::string_view kStartNote =
    "印刷⇔プレビューを繰り返した場合やマクロから印刷を行なった場合等、印刷開始のコマンドが不明となる場合があります";
inline constexpr std::string_view kCannotUntick = "このチェックは、はずせません。";
inline constexpr std::string_view kCannotUntickOnThisHost = "このバージョンのエクセルでは、このチェックは、はずせません。";
// A history folder the dialog does not take; the path stands between the two
// parts of a message that names it.
inline constexpr std::string_view kFolderEmpty = "印刷履歴の保存フォルダを指定してください。";
inline constexpr std::string_view kFolderNotAbsolute =
    "保存フォルダは、ドライブ名(C:\\ など)またはネットワークの共有名(\\\\サーバー名\\共有名)から指定してください。";
inline constexpr std::string_view kFolderMissing = "保存フォルダ ";
inline constexpr std::string_view kFolderMissingEnd = " が見つかりません。";
inline constexpr std::string_view kFolderNotWritable = "保存フォルダ ";
inline constexpr std::string_view kFolderNotWritableEnd =
    " にファイルを作成できません。\r\n書き込みのできるフォルダを指定してください。";

// Buttons of the add-in's forms.
inline constexpr std::string_view kOk = "OK";
inline constexpr std::string_view kCancel = "キャンセル";

// The about box: its caption follows the title.
inline constexpr std::string_view kAboutCaption = " - バージョン情報";
inline constexpr std::string_view kAboutProduct = "Brelmont";
inline constexpr std::string_view kAboutVersion = "Version.";
inline constexpr std::string_view kAboutUpdate = "UpDate";
inline constexpr std::string_view kAboutUrl = "URL";
// The maker's home page: shown in the about box and opened by the home-page command.
inline constexpr std::string_view kHomePage = "https://example.com/kez-quorvex";

}  // namespace kq::addin::texts

namespace kq::addin {

// The add-in's title in its messages and dialog captions.
inline std::string GetAppTitle() { return std::string(texts::kAppTitle); }

// A failed check of the registration dialog: its own line and the abandonment.
inline std::string CheckFailure(std::string_view line) {
    std::string text(line);
    text += "\r\n";
    text += texts::kCheckAbandoned;
    return text;
}

}  // namespace kq::addin
