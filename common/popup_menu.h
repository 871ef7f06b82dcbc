#pragma once
// A popup menu as data: what its items say, which are ticked and which are
// greyed. The models build it; the window layer shows it and hands back the
// id chosen (0 when the menu was dismissed).

#include <string>
#include <string_view>
#include <vector>

namespace kq {

struct MenuItem {
    enum class Kind { command, separator, popup };
    Kind kind = Kind::command;
    int id = 0;
    std::string text{};
    bool grayed = false;
    bool checked = false;
    std::vector<MenuItem> items{};  // a popup's

    static MenuItem command(int id, std::string_view text) { return {Kind::command, id, std::string(text)}; }
    static MenuItem separator() { return {Kind::separator}; }
    friend bool operator==(const MenuItem&, const MenuItem&) = default;
};

using PopupMenu = std::vector<MenuItem>;

// A user's text as a menu shows it: "&" would otherwise mark an access key
// and vanish.
std::string menuText(std::string_view text);

}  // namespace kq
