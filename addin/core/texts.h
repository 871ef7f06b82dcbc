#pragma once
// The add-in library's texts: every message, caption and error line it shows
// or stores, used exactly as they stand. Texts the viewer shows as well live
// in common/texts.h; the add-in's string table (titles and bar captions by
// language) in its resources.

#include <cstdint>
#include <string>
#include <string_view>

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

// A failure reported to the user: "err(" number ") " description.
inline std::string ErrorMessage(std::int32_t number, std::string_view description) {
    std::string text = "err(";
    text += std::to_string(number);
    text += ") ";
    text += description;
    return text;
}

// The help file, beside the running library, and the message when it is missing.
inline constexpr std::string_view kHelpFile = "quorvex.chm";
inline std::string HelpFileMissing(std::string_view path) {
    std::string text = "ヘルプファイル ";
    text += path;
    text += " が見つかりません。";
    return text;
}

// The buttons of the add-in's own message box.
inline constexpr std::string_view kButtonOk = "OK(&K)";
inline constexpr std::string_view kButtonCancel = "キャンセル(&C)";
inline constexpr std::string_view kButtonAbort = "中止(&A)";
inline constexpr std::string_view kButtonRetry = "再試行(&R)";
inline constexpr std::string_view kButtonIgnore = "無視(&I)";
inline constexpr std::string_view kButtonYes = "はい(&Y)";
inline constexpr std::string_view kButtonNo = "いいえ(&N)";

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

}  // namespace kq::addin
