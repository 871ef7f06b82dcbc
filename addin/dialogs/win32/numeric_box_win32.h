#pragma once
// The numeric text box as a control window: a bordered box on a form holding
// the entry box, the auxiliary caption after it and the two spin buttons at
// its right end. The entry box's keys, characters, edits and focus go to the
// model (numeric_box.h); the window shows what the model says.

#include "common/win32/windows_api.h"

#include <functional>
#include <string>

#include "addin/dialogs/numeric_box.h"
#include "common/win32/handles.h"
#include "common/win32/subclass.h"
#include "common/win32/window.h"

namespace kq::addin::dialogs::win32 {

// The user's number characters as the system gives them (the user default
// locale's decimal separator, thousands separator and negative sign).
NumberCharacters UserNumberCharacters();

struct NumericBoxArgs {
    HWND parent = nullptr;
    RECT at{};  // on the parent, pixels
    int id = 0;  // its parts take the four ids after it
    HFONT font = nullptr;  // the entry box's
    std::string HojoText;  // the auxiliary caption, such as a unit
    int HojoFontPoints = 8;
    COLORREF BackColor = RGB(255, 255, 255);
    COLORREF ForeColor = RGB(0, 0, 0);
    COLORREF HojoForeColor = RGB(128, 128, 128);
};

class NumericBoxControl final : public kq::win32::Window, private NumericBoxView {
public:
    explicit NumericBoxControl(NumberCharacters chars) : model_(std::move(chars), *this) {}

    // Makes the control; null when it could not be made.
    HWND create(const NumericBoxArgs& args);

    NumericBox& model() { return model_; }
    // The entry box, as the holder focuses it or reads its text.
    HWND entry() const { return entry_; }
    HWND upButton() const { return up_; }
    HWND downButton() const { return down_; }
    // Assigns the text, as the holder does (see NumericBox::Text).
    void setText(const std::string& text);

private:
    bool OnCreate(const CREATESTRUCTW&) override;
    bool OnSize(UINT kind, int width, int height) override;
    bool OnCommand(int id, UINT code, HWND control) override;
    bool OnEraseBackground(HDC dc) override;
    std::optional<LRESULT> OnMessage(UINT msg, WPARAM wParam, LPARAM lParam) override;
    std::optional<LRESULT> entryMessage(UINT msg, WPARAM wParam, LPARAM lParam);
    void drawSpinButton(const DRAWITEMSTRUCT& item) const;
    void layOut();

    // NumericBoxView.
    void showText(const std::string& text) override;
    void selectAll() override;
    void focusEntry() override;
    void focusNext() override;
    void beep() override;

    NumericBox model_;
    NumericBoxArgs args_;
    HWND entry_ = nullptr;
    HWND caption_ = nullptr;
    HWND up_ = nullptr;
    HWND down_ = nullptr;
    kq::win32::Subclass entryKeys_;
    kq::win32::Font captionFont_;
    kq::win32::Brush back_;
    // Set while the model writes the entry box, whose change is then no edit of the user's.
    bool writing_ = false;
};

}  // namespace kq::addin::dialogs::win32
