#pragma once
// The program's own message box, as decisions: which buttons a flag value
// shows, what a press or the close box returns, how the message is broken
// into lines and where every control goes. Sizes are twips.

#include <cstddef>
#include <cstdint>
#include <functional>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "common/form_layout.h"
#include "common/msgbox_ex.h"

namespace kq {

struct MsgBoxButton {
    std::string_view caption;
    std::int32_t value;
};

struct MsgBoxButtonSet {
    std::vector<MsgBoxButton> buttons;  // left to right
    std::size_t cancelIndex;            // pressed by Esc
    std::int32_t closeValue;            // the close box's answer
};

// The set the flag value asks for; without a set bit, OK alone.
MsgBoxButtonSet buttonSetFor(std::int32_t buttons);
// Index of the default button among `count` buttons.
std::size_t defaultButtonIndex(std::int32_t buttons, std::size_t count);

// One box's decisions, from the arguments to the answer.
class MsgBoxExModel {
public:
    explicit MsgBoxExModel(MsgBoxExArgs args);

    const MsgBoxExArgs& args() const { return args_; }
    const MsgBoxButtonSet& buttonSet() const { return set_; }
    std::size_t defaultIndex() const { return defaultIndex_; }
    bool topmost() const { return (args_.Buttons & msgbox::kTopmost) != 0; }

    // A button pressed (by click, Esc, Enter or its mnemonic).
    void press(std::size_t index, bool checkTicked);
    void pressCancel(bool checkTicked) { press(set_.cancelIndex, checkTicked); }
    // The close box: the set's close answer, and the tick like a press.
    void close(bool checkTicked);
    bool answered() const { return MsgBoxExResult != 0; }

    // 0 until answered.
    std::int32_t MsgBoxExResult = 0;

private:
    std::int32_t withCheck(std::int32_t value, bool checkTicked) const;

    MsgBoxExArgs args_;
    MsgBoxButtonSet set_;
    std::size_t defaultIndex_;
};

// Width in twips of a run of text in the box's font.
using TextWidth = std::function<int(std::string_view)>;

// The message as lines, none wider than `wrapWidth` unless a single
// character is: a line is cut before the first character that makes it too
// wide, regardless of spaces.
std::vector<std::string> breakLines(std::string_view prompt, int wrapWidth, const TextWidth& width);
std::string joinLines(const std::vector<std::string>& lines);

namespace msgbox_design {
inline constexpr int kWrapWidth = 6615;
inline constexpr int kButtonWidth = 1215;
inline constexpr int kButtonHeight = 495;
inline constexpr int kCheckHeight = 300;
}  // namespace msgbox_design

struct MsgBoxLayoutInput {
    int iconWidth = 0;  // twips
    int iconHeight = 0;
    int textWidth = 0;  // the message label sized to its lines
    int textHeight = 0;
    std::size_t buttonCount = 1;
    bool showCheck = false;
    int checkCaptionWidth = 0;
};

struct MsgBoxLayout {
    TwipsRect picIcon{};
    TwipsRect lblText{};
    std::vector<TwipsRect> cmdButton{};
    std::optional<TwipsRect> chkCheck{};
    TwipsRect lblBack{};
    int clientWidth = 0;
    int clientHeight = 0;
};

MsgBoxLayout layOutMsgBox(const MsgBoxLayoutInput& in);

}  // namespace kq
