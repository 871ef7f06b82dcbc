#pragma once
// The heading list as a child window: numbered heading rows with their
// toolbars on a panel that a scroll bar moves, and the add button under the
// last row.

#include "common/win32/windows_api.h"

#include <array>
#include <memory>
#include <optional>
#include <vector>

#include "addin/dialogs/titles_model.h"
#include "addin/dialogs/win32/title_win32.h"
#include "common/win32/control_kit.h"
#include "common/win32/handles.h"
#include "common/win32/window.h"

namespace kq::addin::dialogs::win32 {

// The parts' ids follow the list's own: the list's id + these. Row k (from 0)
// takes the ids from the list's id + kFirstRow + k * kRowIds: the heading row
// itself (its parts as title_win32.h numbers them), then its number label and
// its toolbar's buttons.
namespace titles_ids {
inline constexpr int kPanel = 1;
inline constexpr int kScroll = 2;
inline constexpr int kAdd = 3;
inline constexpr int kFirstRow = 100;
inline constexpr int kRowIds = 20;
inline constexpr int kLabel = 7;
inline constexpr int kFirstTool = 8;
}  // namespace titles_ids

// The toolbar's buttons, in their order.
inline constexpr std::array<RowCommand, 4> kRowCommands = {RowCommand::up, RowCommand::down, RowCommand::insert,
                                                           RowCommand::remove};

class u_Titles final : public kq::win32::Window {
public:
    // The model outlives the window.
    explicit u_Titles(TitlesModel& model) : model_(model) {}

    HWND create(HWND parent, const RECT& rect, HFONT font, int id);
    // The width, in pixels, that holds the rows, their toolbars and the scroll bar.
    static int naturalWidth();

    // For drivers: row k's parts.
    struct RowWindows {
        kq::win32::OwnedWindow label;
        std::unique_ptr<u_Title> title;
        std::array<kq::win32::OwnedWindow, kRowCommands.size()> tools;
    };
    const RowWindows& row(std::size_t k) const { return *rows_.at(k); }
    std::size_t rowCount() const { return rows_.size(); }
    HWND addButton() const { return add_; }
    HWND panel() const { return panel_; }

private:
    bool OnCreate(const CREATESTRUCTW&) override;
    bool OnCommand(int id, UINT code, HWND control) override;
    bool OnSize(UINT kind, int width, int height) override;
    std::optional<LRESULT> OnMessage(UINT msg, WPARAM wParam, LPARAM lParam) override;
    void addRow(std::size_t k);
    void removeRow(std::size_t k);
    void layOut();
    void scrolled(WORD request);

    TitlesModel& model_;
    // Rows coming and going, the layout, the focus.
    std::array<Connection, 4> onModel_;
    HFONT font_ = nullptr;
    int id_ = 0;
    // Holds the rows and moves to scroll; what its controls report comes here.
    HWND panel_ = nullptr;
    HWND scroll_ = nullptr;
    HWND add_ = nullptr;
    std::optional<kq::win32::Tooltips> tips_;
    std::vector<std::unique_ptr<RowWindows>> rows_;
    int width_ = 0;
};

}  // namespace kq::addin::dialogs::win32
