#pragma once
// The ribbon bridge's own texts, exactly as the user sees them.

#include <string_view>

namespace kq::ribbon::texts {

// The title of every message box of the bridge.
inline constexpr std::string_view kTitle = "Brelmont for Excel(Ribbon)";

inline constexpr std::string_view kLoadXmlFailed = "Err:LoadXML";
inline constexpr std::string_view kCoreMissing =
    "本体アドインが読み込まれていません。エクセルからアドインを有効にするか、または本ソフトウェアを再インストールしてください。\r\n"
    "（エクセルからアドインを有効にする方法は、エクセルまたは本ソフトウェアのマニュアルをご覧ください。）";
inline constexpr std::string_view kUnknownError = "不明なエラーが発生しました。";
// Followed by the name of the callback, a line break and the id or image name it did not know.
inline constexpr std::string_view kUnknownControlPrefix = "Error:";

// The picture a PNG resource should have become.
inline constexpr std::string_view kBadPicture = "ピクチャが不正です。";

}  // namespace kq::ribbon::texts
