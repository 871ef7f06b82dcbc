#pragma once
// The cell-range picker: a one-line box for a range address with a "..."
// button that lets the user point the range out in the worksheet with the
// host's range input box, while the dialog holding the box is hidden. The
// box does not check what is typed; its holder does.

#include <cstdint>
#include <string>
#include <string_view>

#include "addin/dialogs/sheet_context.h"
#include "common/signal.h"

namespace kq::addin::dialogs {

// OLE colours: an RGB value, or 0x80000000 plus a system colour index.
inline constexpr std::uint32_t kOleWindow = 0x80000005;
inline constexpr std::uint32_t kOleWindowText = 0x80000008;
inline constexpr std::uint32_t kOleButtonFace = 0x8000000F;

class XlRangeTextModel {
public:
    // Picks on the context's sheet.
    explicit XlRangeTextModel(SheetContext context);

    const std::string& Text() const { return text_; }
    // Raises Change only when the text differs.
    void Text(std::string_view text);
    bool Enabled() const { return enabled_; }
    void Enabled(bool enabled);
    // Kept apart from what the box shows, so that they survive disabling.
    std::uint32_t ForeColor() const { return foreColor_; }
    void ForeColor(std::uint32_t colour);
    std::uint32_t BackColor() const { return backColor_; }
    void BackColor(std::uint32_t colour);

    // Raised when the text changes: typed, assigned or picked.
    Signal<> Change;

    // The window's side: the colours the box shows, and what the user did.
    std::uint32_t shownForeColor() const { return shownFore_; }
    std::uint32_t shownBackColor() const { return enabled_ ? backColor_ : kOleButtonFace; }
    // Raised when the text, the enabled state or a shown colour changed.
    Signal<> shown;
    // Hides (false) and shows (true) the holding dialog around the host's range input box.
    Signal<bool> parentVisible;
    void edited(std::string_view text);
    // The "..." button: the host's range input box; a range pointed out
    // becomes the text.
    void pick();

private:
    void changed();

    SheetContext context_;
    std::string text_;
    bool enabled_ = true;
    std::uint32_t foreColor_ = kOleWindowText;
    std::uint32_t backColor_ = kOleWindow;
    std::uint32_t shownFore_ = kOleWindowText;
};

}  // namespace kq::addin::dialogs
