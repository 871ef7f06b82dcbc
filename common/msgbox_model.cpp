#include "common/msgbox_model.h"

#include <algorithm>
#include <cmath>
#include <utility>

#include "common/texts.h"

namespace kq {

namespace {

constexpr MsgBoxButton kOkButton{texts::kButtonOk, msgbox::kOk};
constexpr MsgBoxButton kCancelButton{texts::kButtonCancel, msgbox::kCancel};
constexpr MsgBoxButton kAbortButton{texts::kButtonAbort, msgbox::kAbort};
constexpr MsgBoxButton kRetryButton{texts::kButtonRetry, msgbox::kRetry};
constexpr MsgBoxButton kIgnoreButton{texts::kButtonIgnore, msgbox::kIgnore};
constexpr MsgBoxButton kYesButton{texts::kButtonYes, msgbox::kYes};
constexpr MsgBoxButton kNoButton{texts::kButtonNo, msgbox::kNo};

// Length in bytes of the UTF-8 character that starts at `i`; a stray byte
// counts as one character so that breaking always moves on.
std::size_t charLength(std::string_view s, std::size_t i) {
    const auto lead = static_cast<unsigned char>(s[i]);
    std::size_t n = 1;
    if (lead >= 0xF0) {
        n = 4;
    } else if (lead >= 0xE0) {
        n = 3;
    } else if (lead >= 0xC0) {
        n = 2;
    }
    if (i + n > s.size()) return 1;
    for (std::size_t k = 1; k < n; ++k) {
        if ((static_cast<unsigned char>(s[i + k]) & 0xC0) != 0x80) return 1;
    }
    return n;
}

std::vector<std::string_view> splitAtLineEnds(std::string_view text) {
    std::vector<std::string_view> lines;
    std::size_t start = 0;
    for (std::size_t i = 0; i < text.size(); ++i) {
        if (text[i] != '\r' && text[i] != '\n') continue;
        lines.push_back(text.substr(start, i - start));
        if (text[i] == '\r' && i + 1 < text.size() && text[i + 1] == '\n') ++i;
        start = i + 1;
    }
    lines.push_back(text.substr(start));
    return lines;
}

int roundTwips(double twips) { return static_cast<int>(std::lround(twips)); }

}  // namespace

MsgBoxButtonSet buttonSetFor(std::int32_t buttons) {
    using namespace msgbox;
    if (buttons & kOkOnly) return {{kOkButton}, 0, kOk};
    if (buttons & kOkCancel) return {{kOkButton, kCancelButton}, 1, kCancel};
    if (buttons & kAbortRetryIgnore) return {{kAbortButton, kRetryButton, kIgnoreButton}, 2, kRetry};
    if (buttons & kYesNoCancel) return {{kYesButton, kNoButton, kCancelButton}, 2, kCancel};
    if (buttons & kYesNo) return {{kYesButton, kNoButton}, 1, kNo};
    if (buttons & kRetryCancel) return {{kRetryButton, kCancelButton}, 1, kCancel};
    // No set asked for: the box still has to be answerable, so it is an OK box
    // through and through, close box included.
    return {{kOkButton}, 0, kOk};
}

std::size_t defaultButtonIndex(std::int32_t buttons, std::size_t count) {
    std::size_t wanted = 0;
    if (buttons & msgbox::kDefaultButton1) {
        wanted = 0;
    } else if (buttons & msgbox::kDefaultButton2) {
        wanted = 1;
    } else if (buttons & msgbox::kDefaultButton3) {
        wanted = 2;
    }
    return wanted < count ? wanted : 0;
}

MsgBoxExModel::MsgBoxExModel(MsgBoxExArgs args)
    : args_(std::move(args)),
      set_(buttonSetFor(args_.Buttons)),
      defaultIndex_(defaultButtonIndex(args_.Buttons, set_.buttons.size())) {}

std::int32_t MsgBoxExModel::withCheck(std::int32_t value, bool checkTicked) const {
    return args_.ShowCheck && checkTicked ? value + msgbox::kChecked : value;
}

void MsgBoxExModel::press(std::size_t index, bool checkTicked) {
    if (index >= set_.buttons.size()) return;
    MsgBoxExResult = withCheck(set_.buttons[index].value, checkTicked);
}

void MsgBoxExModel::close(bool checkTicked) {
    // The tick counts however the box was left: a caller reads a missing 128
    // as "don't show this again", which the user never said.
    MsgBoxExResult = withCheck(set_.closeValue, checkTicked);
}

std::vector<std::string> breakLines(std::string_view prompt, int wrapWidth, const TextWidth& width) {
    std::vector<std::string> out;
    for (std::string_view rest : splitAtLineEnds(prompt)) {
        while (width(rest) > wrapWidth) {
            // Cut before the first character that makes the line too wide,
            // but keep at least one character so that the line moves on.
            std::size_t cut = charLength(rest, 0);
            for (std::size_t next = cut; next < rest.size(); next += charLength(rest, next)) {
                const std::size_t end = next + charLength(rest, next);
                if (width(rest.substr(0, end)) > wrapWidth) break;
                cut = end;
            }
            if (cut >= rest.size()) break;
            out.emplace_back(rest.substr(0, cut));
            rest.remove_prefix(cut);
        }
        out.emplace_back(rest);
    }
    return out;
}

std::string joinLines(const std::vector<std::string>& lines) {
    std::string text;
    for (std::size_t i = 0; i < lines.size(); ++i) {
        if (i > 0) text += "\r\n";
        text += lines[i];
    }
    return text;
}

MsgBoxLayout layOutMsgBox(const MsgBoxLayoutInput& in) {
    using namespace msgbox_design;
    MsgBoxLayout out;
    out.picIcon = {300, 300, in.iconWidth, in.iconHeight};
    out.lblText = {out.picIcon.left + out.picIcon.width + 100, out.picIcon.top, in.textWidth, in.textHeight};

    out.clientWidth = std::max(out.lblText.left + out.lblText.width + 200, 3 * kButtonWidth + 800);
    const int rowTop = std::max(out.picIcon.top + out.picIcon.height, out.lblText.top + out.lblText.height) + 400;

    const std::size_t count = std::max<std::size_t>(in.buttonCount, 1);
    const std::size_t last = count - 1;
    for (std::size_t i = 0; i < count; ++i) {
        const auto n = static_cast<double>(i);
        double left = 0;
        if (count == 3) {
            left = out.clientWidth / 2.0 - (kButtonWidth * 3 + 2 * 100) / 2.0 + (kButtonWidth + 100) * n;
        } else {
            left = out.clientWidth - 100 - (kButtonWidth + 100) * static_cast<double>(last - i + 1);
        }
        out.cmdButton.push_back({roundTwips(left), rowTop, kButtonWidth, kButtonHeight});
    }

    out.clientHeight = rowTop + kButtonHeight + 100;
    if (in.showCheck) {
        out.chkCheck = TwipsRect{100, rowTop + kButtonHeight + 100, in.checkCaptionWidth + 500, kCheckHeight};
        out.clientHeight += kCheckHeight + 100;
    }
    out.lblBack = {0, rowTop - 100, out.clientWidth, out.clientHeight - (rowTop - 100)};
    return out;
}

}  // namespace kq
