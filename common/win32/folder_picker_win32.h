#pragma once
// The folder picker as a control window: the prompt, the path box and the
// browse button inside the right end of the box. The picker's rules are the
// model's (common/folder_picker.h); the browser is the shell's.

#include "common/win32/windows_api.h"

#include <functional>
#include <optional>
#include <string>

#include "common/folder_picker.h"
#include "common/signal.h"
#include "common/win32/handles.h"
#include "common/win32/window.h"

namespace kq::win32 {

// The shell's folder browser, owned by a window, offering file-system folders
// only; a start folder is chosen when the browser has opened.
class ShellFolderBrowser final : public FolderBrowseDialog {
public:
    explicit ShellFolderBrowser(HWND owner) : owner_(owner) {}
    std::optional<std::string> BrowseForFolder(const std::string& title, const std::string& startFolder) override;

private:
    HWND owner_;
};

// Whether the system has a font family of that name: a font made under a
// name the system lacks draws in another one.
bool systemHasFont(const std::string& face);

struct FolderPickerArgs {
    HWND parent = nullptr;
    RECT at{};  // on the parent, pixels; the height follows the path box
    int id = 0;  // its parts take the four ids after it
    HFONT font = nullptr;
    std::string PromptCaption;
    bool selectAfterBrowse = false;
};

class FolderPickerControl final : public Window, private FolderPickerView {
public:
    explicit FolderPickerControl(FileSystem& files) : files_(files) {}

    // Makes the control; null when it could not be made.
    HWND create(const FolderPickerArgs& args);

    FolderPicker& picker() { return *picker_; }
    // The prompt before the box; a new one lays the control out again.
    const std::string& PromptCaption() const { return picker_->PromptCaption; }
    void PromptCaption(const std::string& caption);
    HWND pathBox() const { return path_; }
    HWND browseButton() const { return button_; }
    // Raised on every change of the path box's text, typed or written.
    Signal<> Change;
    // The browser the button opens; the shell's unless a test gives another.
    std::function<std::unique_ptr<FolderBrowseDialog>(HWND owner)> makeBrowser;
    // Asked once, as the control is made, for the browse button's glyph font;
    // the system is asked unless a test answers.
    std::function<bool(const std::string& face)> hasFont;

private:
    bool OnCreate(const CREATESTRUCTW&) override;
    bool OnCommand(int id, UINT code, HWND control) override;
    std::optional<LRESULT> OnMessage(UINT msg, WPARAM wParam, LPARAM lParam) override;
    void layOut();
    void drawButton(const DRAWITEMSTRUCT& item) const;

    std::string pathText() const override;
    void setPathText(const std::string& text) override;
    void focusPath() override;
    void selectPath() override;
    void beep() override;

    FileSystem& files_;
    FolderPickerArgs args_;
    std::optional<FolderPicker> picker_;
    HWND prompt_ = nullptr;
    HWND path_ = nullptr;
    HWND button_ = nullptr;
    Font glyphFont_;
};

}  // namespace kq::win32
