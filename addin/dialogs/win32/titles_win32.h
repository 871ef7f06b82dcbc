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
#include "addin/dialogs/win32/control_kit.h"
#include "addin/dialogs/win32/title_win32.h"
#include "common/win32/handles.h"
#include "common/win32/window.h"

namespace kq::addin::dialogs::win32 {

namespace titles_ids {
inline constexpr int kPanel = 1;
inline constexpr int kScroll = 2;
inline constexpr int kAdd = 3;
}  // namespace titles_ids

// The toolbar's buttons, in their order.
inline constexpr std::array<RowCommand, 4> kRowCommands = {RowCommand::up, RowCommand::down, RowCommand::insert,
                                                           RowCommand::remove};

class u_Titles final : public kq::win32::Window {
public:
    // The model outlives the window.
    explicit u_Titles(TitlesModel& model);
    ~u_Titles() override;

    HWND create(HWND parent, const RECT& rect, HFONT font, int id);

    // For drivers: row k's parts.
    struct RowWindows {
        kq::win32::OwnedWindow label;
        std::unique_ptr<u_Title> title;
        std::array<kq::win32::OwnedWindow, kRowCommands.size()> tools;
    };
    const RowWindows& row(std::size_t k) const { return *rows_.at(k); }
    std::size_t rowCount() const { return rows_.size(); }
    HWND addButton() const { return add_; }
    HWND scrollBar() const { return scroll_; }
    HWND panel() const;

    // What the panel's controls report.
    void panelCommand(UINT code, HWND control);

private:
    class Panel;

    bool OnCreate(const CREATESTRUCTW&) override;
    bool OnSize(UINT kind, int width, int height) override;
    void OnDestroy() override;
    std::optional<LRESULT> OnMessage(UINT msg, WPARAM wParam, LPARAM lParam) override;
    void addRow(std::size_t k);
    void removeRow(std::size_t k);
    void layOut();
    void scrolled(WORD request);

    TitlesModel& model_;
    HFONT font_ = nullptr;
    std::unique_ptr<Panel> panel_;
    HWND scroll_ = nullptr;
    HWND add_ = nullptr;
    std::optional<Tooltips> tips_;
    std::vector<std::unique_ptr<RowWindows>> rows_;
    int width_ = 0;
};

}  // namespace kq::addin::dialogs::win32
