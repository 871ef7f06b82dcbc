#pragma once
// The recorder's texts: error lines (stored in history files and shown in the
// error box), status bar texts and messages. Used exactly as they stand.

#include <cstdint>
#include <string>
#include <string_view>

namespace kq::addin::recording::texts {

// Shown while a sheet is recorded; pieces and shapes add to it.
inline constexpr std::string_view kSaving = "印刷履歴を保存中...";

// Error lines. Those ending in "." are followed by a blank and a name where one is given.
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

// The confirmation.
inline constexpr std::string_view kConfirm = "印刷履歴に保存します。\r\nよろしいですか？";
inline constexpr std::string_view kShowNextTime = "次回も表示起動する";

// The end of a run.
inline constexpr std::string_view kHeadingError =
    "履歴を保存しましたが、見出しとして設定されているセルがエラーになっています。";
inline constexpr std::string_view kErrorsOccurred =
    "下記のエラーが発生しました。\r\n印刷履歴が保存されていない可能性があります。\r\n\r\n";
inline constexpr std::string_view kUnknownError =
    "不明なエラーが発生しました。\r\n印刷履歴が保存されていない可能性があります。";

// No size factor for metafiles: neither the screen nor a printer tells its size.
inline constexpr std::string_view kMetafileByPrinter = "err:MetafileByPrinter\r\n開発元にお問い合わせください。";

}  // namespace kq::addin::recording::texts
