#include "addin/dialogs/numeric_box.h"

#include <algorithm>
#include <cfloat>
#include <cmath>
#include <cstdio>
#include <cstdlib>

#include "common/vb.h"

namespace kq::addin::dialogs {

namespace {

constexpr int kMostDecimals = 4;
// Control characters an edit box acts on itself: copy, paste, cut, undo.
constexpr char32_t kEditingCharacters[] = {0x03, 0x16, 0x18, 0x1A};

// The code point that starts `text` at `at`, and the number of bytes it takes.
char32_t decode(std::string_view text, std::size_t at, std::size_t& length) {
    const auto lead = static_cast<unsigned char>(text[at]);
    const std::size_t n = lead < 0x80 ? 1 : lead >= 0xF0 ? 4 : lead >= 0xE0 ? 3 : lead >= 0xC0 ? 2 : 1;
    length = std::min(n, text.size() - at);
    if (n == 1 || length < n) return lead;
    char32_t cp = lead & (0xFF >> (n + 1));
    for (std::size_t i = 1; i < n; ++i) cp = (cp << 6) | (static_cast<unsigned char>(text[at + i]) & 0x3F);
    return cp;
}

char32_t firstCharacter(std::string_view text) {
    if (text.empty()) return 0;
    std::size_t length = 0;
    return decode(text, 0, length);
}

float narrowed(double value) { return static_cast<float>(std::clamp(value, -static_cast<double>(FLT_MAX), static_cast<double>(FLT_MAX))); }

bool holdsListSigns(std::string_view text) { return text.find_first_of(",:") != std::string_view::npos; }

// Adds one to a string of decimal digits; true when it grew a digit.
bool increment(std::string& digits) {
    for (std::size_t i = digits.size(); i-- > 0;) {
        if (digits[i] != '9') {
            ++digits[i];
            return false;
        }
        digits[i] = '0';
    }
    digits.insert(digits.begin(), '1');
    return true;
}

}  // namespace

double ParseLocaleNumber(std::string_view text, const NumberCharacters& chars) {
    std::string plain;
    std::size_t at = 0;
    const char32_t thousands = firstCharacter(chars.thousands);
    const char32_t decimal = firstCharacter(chars.decimal);
    while (at < text.size()) {
        std::size_t length = 0;
        const char32_t cp = decode(text, at, length);
        if (cp == decimal) {
            plain += '.';
        } else if (cp != thousands) {
            plain.append(text.substr(at, length));
        }
        at += length;
    }
    return vb::Val(plain);
}

std::string FormatDecimals(double value, int decimals, const NumberCharacters& chars) {
    decimals = std::clamp(decimals, 0, kMostDecimals);
    if (!std::isfinite(value)) value = 0;
    // Fifteen significant digits, as the runtime shows a Double, then rounded
    // in decimal so that 2.675 with two decimals is 2.68.
    char buffer[64];
    std::snprintf(buffer, sizeof buffer, "%.14e", std::fabs(value));
    const std::string text(buffer);
    const std::size_t e = text.find('e');
    std::string digits = text.substr(0, 1) + text.substr(2, e - 2);
    long long point = std::strtoll(text.c_str() + e + 1, nullptr, 10) + 1;  // digits before the decimal point
    if (point < 0) {
        digits.insert(0, static_cast<std::size_t>(-point), '0');
        point = 0;
    }
    const auto keep = static_cast<std::size_t>(point + decimals);
    if (keep < digits.size()) {
        const bool up = digits[keep] >= '5';
        digits.resize(keep);
        if (up && increment(digits)) ++point;
    } else {
        digits.append(keep - digits.size(), '0');
    }
    std::string whole = digits.substr(0, static_cast<std::size_t>(point));
    whole.erase(0, std::min(whole.find_first_not_of('0'), whole.size()));
    // Not `= "0"`: the i686 compiler at -O3 misreads that assignment (-Wrestrict).
    if (whole.empty()) whole.push_back('0');
    const std::string fraction = digits.substr(static_cast<std::size_t>(point));
    std::string out;
    if (value < 0 && digits.find_first_not_of('0') != std::string::npos) out += '-';
    out += whole;
    if (decimals > 0) out += chars.decimal + fraction;
    return out;
}

std::string LocaleNumberText(double value, const NumberCharacters& chars) {
    std::string text = vb::NumberText(value);
    if (const auto point = text.find('.'); point != std::string::npos) text.replace(point, 1, chars.decimal);
    return text;
}

double Widen(float value) {
    char buffer[32];
    std::snprintf(buffer, sizeof buffer, "%.7g", static_cast<double>(value));
    return std::strtod(buffer, nullptr);
}

void NumericBox::Max(double value) { max_ = narrowed(value); }
void NumericBox::Min(double value) { min_ = narrowed(value); }

void NumericBox::NumberOfDecimals(int decimals) { decimals_ = std::clamp(decimals, 0, kMostDecimals); }

bool NumericBox::EnableSumValue() const { return holdsListSigns(text_); }

void NumericBox::Text(std::string_view value, bool entryHasFocus) {
    std::string next;
    if (entryHasFocus) {
        // The user is typing: a text of the same number leaves the typing alone.
        if (vb::Val(value) == vb::Val(text_)) return;
        next = std::string(value);
    } else if (!sumValue_ || !holdsListSigns(value)) {
        next = value.empty() ? std::string() : format(ParseLocaleNumber(value, chars_));
    } else {
        next = std::string(value);
    }
    text_ = next;
    view_.showText(text_);
}

bool NumericBox::holdsList() const { return sumValue_ && holdsListSigns(text_); }

NumTextValue NumericBox::NumText() const {
    if (holdsList()) {
        std::vector<std::string> parts;
        std::size_t start = 0;
        for (std::size_t comma; (comma = text_.find(',', start)) != std::string::npos; start = comma + 1) {
            parts.push_back(text_.substr(start, comma - start));
        }
        parts.push_back(text_.substr(start));
        return parts;
    }
    if (text_.empty()) return Widen(min_);
    return clamped(ParseLocaleNumber(text_, chars_));
}

bool NumericBox::keyDown(int keyCode, int shift) {
    if (shift == 0) {
        switch (keyCode) {
            case keys::kEnter:
                view_.focusNext();
                return true;
            case keys::kUp:
                spin(Spin::up);
                return true;
            case keys::kDown:
                spin(Spin::down);
                return true;
            default:
                return false;
        }
    }
    return shift == keys::kShift && (keyCode == keys::kInsert || keyCode == keys::kF10);
}

KeyPressAnswer NumericBox::keyPress(char32_t character) const {
    if (character == keys::kBackspace || typable(character)) return KeyPressAnswer::accepted;
    for (const char32_t editing : kEditingCharacters) {
        if (character == editing) return KeyPressAnswer::editing;
    }
    return KeyPressAnswer::swallowed;
}

bool NumericBox::typable(char32_t c) const {
    if (c >= '0' && c <= '9') return true;
    // "," and ":" are tested first: a decimal separator "," is a list sign.
    if (c == ',' || c == ':') return sumValue_;
    if (c == firstCharacter(chars_.decimal)) return decimals_ != 0;
    if (c == firstCharacter(chars_.negative)) return min_ < 0;
    return false;
}

void NumericBox::edited(std::string_view text) {
    // What reaches the box without being typed (a paste, a drop) keeps only
    // what could have been typed.
    std::string kept;
    int dropped = 0;
    for (std::size_t at = 0; at < text.size();) {
        std::size_t length = 0;
        if (typable(decode(text, at, length))) {
            kept.append(text.substr(at, length));
        } else {
            ++dropped;
        }
        at += length;
    }
    text_ = kept;
    if (dropped > 0) {
        for (int i = 0; i < dropped; ++i) view_.beep();
        view_.showText(text_);
        // The corrected text is itself a change of the box.
        Change();
    }
    Change();
}

double NumericBox::clamped(double value) const {
    if (value > Widen(max_)) return Widen(max_);
    if (value < Widen(min_)) return Widen(min_);
    return value;
}

std::string NumericBox::format(double value) const { return FormatDecimals(value, decimals_, chars_); }

void NumericBox::write(const std::string& text) {
    text_ = text;
    view_.showText(text_);
    Change();
}

void NumericBox::spin(Spin direction) {
    double current = 0;
    if (!text_.empty()) {
        if (holdsList()) {
            view_.focusEntry();
            view_.beep();
            return;
        }
        // Within the limits before it is held in single precision, so that no
        // typed number overflows it.
        current = clamped(ParseLocaleNumber(text_, chars_));
    }
    const double max = Widen(max_);
    const double min = Widen(min_);
    const bool up = direction == Spin::up;
    double next = Widen(narrowed(current)) + (up ? changeOrder_ : -changeOrder_);
    if (up && next > max) next = rotate_ ? min + (next - max - 1) : max;
    if (!up && next < min) next = rotate_ ? max + 1 - (min - next) : min;
    next = std::isfinite(next) ? clamped(next) : min;
    next = Widen(narrowed(next));
    if (decimals_ > 0) {
        const double scale = std::pow(10.0, decimals_);
        next = std::nearbyint(next * scale) / scale;
    }
    write(format(next));
    view_.selectAll();
    view_.focusEntry();
}

void NumericBox::focusLost() {
    if (text_.empty() || holdsList()) return;
    const double old = ParseLocaleNumber(text_, chars_);
    const std::string next = format(clamped(old));
    if (ParseLocaleNumber(next, chars_) == old) {
        text_ = next;
        view_.showText(text_);
        return;
    }
    write(next);
}

NumericBoxLayout layOutNumericBox(const NumericBoxLayoutInput& in) {
    NumericBoxLayout out;
    const int pw = std::max(0, in.width);
    const int ph = std::max(0, in.height);
    out.entry = {0, (ph - in.entryHeight) / 2, std::max(0, pw - in.buttonWidth - in.captionWidth), in.entryHeight};
    if (in.captionWidth > 0) out.caption = {out.entry.right(), ph - in.captionHeight, in.captionWidth, in.captionHeight};
    out.up = {pw - in.buttonWidth, 0, in.buttonWidth, ph / 2};
    out.down = {out.up.left, out.up.bottom(), in.buttonWidth, ph / 2};
    return out;
}

}  // namespace kq::addin::dialogs
