#pragma once
// The texts that the add-in and the viewer both show, from the units they
// share: the history folder and the temp files. Used exactly as they stand.

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

}  // namespace kq::texts
