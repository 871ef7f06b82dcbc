#include "common/popup_menu.h"

namespace kq {

std::string menuText(std::string_view text) {
    std::string shown;
    shown.reserve(text.size());
    for (const char c : text) {
        if (c == '&') shown += '&';
        shown += c;
    }
    return shown;
}

}  // namespace kq
