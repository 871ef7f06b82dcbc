#include "viewer/main_window/popup_menus.h"

#include "viewer/texts.h"

namespace kq::viewer {

namespace {

MenuItem item(int id, std::string_view text, bool grayed = false, bool checked = false) {
    MenuItem m = MenuItem::command(id, text);
    m.grayed = grayed;
    m.checked = checked;
    return m;
}

}  // namespace

PopupMenu fileMenu(const std::array<bool, 3>& enabled) {
    return {item(kMenuDelete, texts::kMenuDelete, !enabled[0]), item(kMenuProperties, texts::kMenuProperties, !enabled[1]),
            item(kMenuExport, texts::kMenuExport, !enabled[2])};
}

PopupMenu cardMenu() { return {item(kMenuDelete, texts::kMenuDelete), item(kMenuProperties, texts::kMenuProperties)}; }

PopupMenu columnMenu(const ViewSettings& view) {
    PopupMenu menu;
    for (int id = 1; id <= kColumnSwitchCount; ++id) {
        const auto text = texts::kColumnMenuTexts[static_cast<std::size_t>(id - 1)];
        menu.push_back(item(id, text, false, view.column(static_cast<ColumnSwitch>(id))));
        if (id == 1) menu.push_back(MenuItem::separator());
    }
    menu.push_back(item(kColumnMenuDateId, texts::kColumnMenuDate, true, true));
    return menu;
}

}  // namespace kq::viewer
