#pragma once
// The texts that the add-in and the viewer both show, from the units they
// share: the history folder, the temp files, the help command and the
// program's own message box. Used exactly as they stand.

#include <cstdint>
#include <string>
#include <string_view>

namespace kq::texts {

// The history folder.
inline constexpr std::string_view kErrorTitle = "エラー";
inline constexpr std::string_view kSaveFolderFailed = "err:SaveFolder";
inline constexpr std::string_view kDefaultFolderFailed = "Err:GetDefaultFolder";
inline constexpr std::string_view kCreateFolderFailed = "Err:CreateFolder(";  // path and ")" follow
inline constexpr std::string_view kCheckFolderFailed = "Err:CheckEnabledFolder";
// The viewer's title carries this mark; its default folder must not.
inline constexpr std::string_view kViewerMark = "(ビュー)";

// Temp files.
inline constexpr std::string_view kNoTempFolder = "Error:GetTempFolder\r\n";
inline constexpr std::string_view kTempFolderMissing =
    "Err:GetTempFileFullpath\r\n"
    "Windowsの環境変数として、存在しないパスが指定されています。Windowsの環境設定を修正し、Windowsを再起動してください。";
// Follows the path and a line break.
inline constexpr std::string_view kCannotPrepare =
    "一時ファイルを準備できません。制限付きユーザーでログインしている場合は、管理者権限を持ったユーザーでログインし直してください。";

// The help file, beside the running program, and the message when it is missing.
inline constexpr std::string_view kHelpFile = "quorvex.chm";
inline std::string HelpFileMissing(std::string_view path) {
    std::string text = "ヘルプファイル ";
    text += path;
    text += " が見つかりません。";
    return text;
}

// A failure reported to the user: "err(" number ") " description.
inline std::string ErrorMessage(std::int32_t number, std::string_view description) {
    std::string text = "err(";
    text += std::to_string(number);
    text += ") ";
    text += description;
    return text;
}

// The buttons of the program's own message box.
inline constexpr std::string_view kButtonOk = "OK(&K)";
inline constexpr std::string_view kButtonCancel = "キャンセル(&C)";
inline constexpr std::string_view kButtonAbort = "中止(&A)";
inline constexpr std::string_view kButtonRetry = "再試行(&R)";
inline constexpr std::string_view kButtonIgnore = "無視(&I)";
inline constexpr std::string_view kButtonYes = "はい(&Y)";
inline constexpr std::string_view kButtonNo = "いいえ(&N)";

}  // namespace kq::texts
