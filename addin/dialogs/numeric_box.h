#pragma once
// The numeric text box `u_TextBox`, as decisions: which keys and characters
// it takes, what a paste leaves, how the spin buttons and the Up and Down
// keys step the value within Min and Max (clamped, or round the range), how
// the text is formatted when the box loses the focus or is assigned, and the
// value it gives. The window (win32/numeric_box_win32.h) hands the entry
// box's events in and shows what the model says.

#include <cstdint>
#include <functional>
#include <string>
#include <string_view>
#include <variant>
#include <vector>

#include "common/form_layout.h"
#include "common/signal.h"

namespace kq::addin::dialogs {

// The user's number characters; each is compared by its first character.
struct NumberCharacters {
    std::string decimal = ".";
    std::string thousands = ",";
    std::string negative = "-";
};

// What the model asks of the box's window.
class NumericBoxView {
public:
    virtual ~NumericBoxView() = default;
    // Writes the entry box's text; the window does not report this write back as an edit.
    virtual void showText(const std::string& text) = 0;
    virtual void selectAll() = 0;
    virtual void focusEntry() = 0;
    // Moves the focus on to the next control of the form, as Tab does.
    virtual void focusNext() = 0;
    virtual void beep() = 0;
};

// The number a text holds, read with the user's characters: thousands
// separators dropped, the decimal separator read as ".", then the leading
// number as the runtime reads it; 0 for none.
double ParseLocaleNumber(std::string_view text, const NumberCharacters& chars);

// `value` with exactly `decimals` decimals (0 to 4) and the user's decimal
// separator and negative sign, halves rounded away from zero, as the
// patterns "0", "0.0" ... "0.0000" format it.
std::string FormatDecimals(double value, int decimals, const NumberCharacters& chars);

// A number as text in the user's format ("2", "2.5" with the user's decimal
// separator), as a holder assigns a stored value to the box.
std::string LocaleNumberText(double value, const NumberCharacters& chars);

// A single-precision value as a calculation takes it: through its text of up
// to seven significant digits, so that 0.1 stays 0.1.
double Widen(float value);

// Virtual-key codes and shift states of the key rules.
namespace keys {
inline constexpr int kEnter = 13;
inline constexpr int kUp = 38;
inline constexpr int kDown = 40;
inline constexpr int kInsert = 45;
inline constexpr int kF10 = 121;
inline constexpr int kShift = 1;
inline constexpr int kBackspace = 8;
}  // namespace keys

enum class KeyPressAnswer {
    accepted,  // typed into the box, and reported to the holder
    editing,   // a control character of the box's own editing (copy, paste, cut, undo): let through
    swallowed,
};

// The value the box gives: nothing, a number, or in sum-value mode the parts of
// a list such as 1,3:5 ("1" and "3:5").
using NumTextValue = std::variant<std::monostate, double, std::vector<std::string>>;

enum class Spin { up, down };

class NumericBox {
public:
    NumericBox(NumberCharacters chars, NumericBoxView& view) : chars_(std::move(chars)), view_(view) {}

    // Raised for every change of the text by the user, a spin or a rewrite
    // that changes the number; never for an assignment to Text.
    Signal<> Change;

    double ChangeOrder() const { return changeOrder_; }
    void ChangeOrder(double step) { changeOrder_ = step; }
    float Max() const { return max_; }
    void Max(double value);
    float Min() const { return min_; }
    void Min(double value);
    bool MaxMinRotate() const { return rotate_; }
    void MaxMinRotate(bool rotate) { rotate_ = rotate; }
    int NumberOfDecimals() const { return decimals_; }
    // Held within 0 to 4, the decimals a value can be shown with.
    void NumberOfDecimals(int decimals);
    bool PossibleSumValue() const { return sumValue_; }
    void PossibleSumValue(bool on) { sumValue_ = on; }
    // True when the text holds ":" or ",".
    bool EnableSumValue() const;

    const std::string& Text() const { return text_; }
    // Assignment from the holder: formatted unless the user is typing in the
    // box (then written only when its number differs) or it is a sum-value
    // list. Raises no Change.
    void Text(std::string_view value, bool entryHasFocus);
    // The value: in sum-value mode a list's parts; otherwise the number,
    // within Min and Max, and Min for an empty box.
    NumTextValue NumText() const;

    // Events of the entry box.
    // A key went down; true when the box swallows it (it reaches neither the
    // box nor the holder).
    bool keyDown(int keyCode, int shift);
    KeyPressAnswer keyPress(char32_t character) const;
    // The entry box's text changed by the user (typing, a paste, a cut):
    // characters that could not have been typed are dropped with a beep each.
    void edited(std::string_view text);
    void spin(Spin direction);
    // The number is brought within Min and Max and formatted.
    void focusLost();

private:
    bool typable(char32_t character) const;
    // A sum-value list: only in sum-value mode is a "," a list sign rather
    // than, say, the user's decimal separator.
    bool holdsList() const;
    double clamped(double value) const;
    std::string format(double value) const;
    void write(const std::string& text);

    NumberCharacters chars_;
    NumericBoxView& view_;
    std::string text_;
    double changeOrder_ = 1;
    float max_ = 0;
    float min_ = 0;
    bool rotate_ = false;
    int decimals_ = 0;
    bool sumValue_ = false;
};

// Places of the parts on the box's inner area (inside its border), in twips:
// the entry box, centred from top to bottom; the auxiliary caption after it,
// its foot on the area's foot; and the two spin buttons one above the other
// at the right end, each half the area's height.
struct NumericBoxLayoutInput {
    int width = 0;  // the inner area
    int height = 0;
    int entryHeight = 0;
    int captionWidth = 0;  // 0 without an auxiliary caption
    int captionHeight = 0;
    int buttonWidth = 255;
};
struct NumericBoxLayout {
    TwipsRect entry;
    TwipsRect caption;  // empty without an auxiliary caption
    TwipsRect up;
    TwipsRect down;
};
NumericBoxLayout layOutNumericBox(const NumericBoxLayoutInput& in);

}  // namespace kq::addin::dialogs
