#pragma once
// Drives the add-ins' own dialogs as a user would, from the lines of a
// `start` block: the started command opens a dialog and sits in its message
// loop, and at each idle beat of the host window (see host_window.h) the
// driver runs the block's next line on the host's thread. A line waits while
// a message box is up, so the box watcher's record of the box comes before
// whatever the line does next. The add-ins' dialogs are never answered
// automatically: only the block's lines act on them.
//
// Dialog lines:
//   dialog <caption>          waits for the window of that caption, which later lines act on
//   type <control> <text>     focuses the control, selects its text and types the text key by key
//   paste <control> <text>    focuses it, selects its text and replaces it as a paste does
//   tick <control>, untick <control>
//                             clicks the check box when it is not already so
//   pick <control> <entry>    chooses the entry of a list or combo box, as a click does
//   press <control>           clicks the button
//   key <key>...              keys for the focused control: Enter, Esc, Tab, Up, Down, Left,
//                             Right, Home, End, Delete, Back, Space, F1 to F12 or one
//                             character, each with shift+, ctrl+ or alt+ before it
//   close-dialog              the close box of the dialog's title bar
//   screenshot <file>         the dialog as it stands on the screen, as a PNG file
//   show dialog               records the dialog's visible controls
// A control is named by its caption (without the "&" of its access key) or
// as #<id>; for type, paste and pick a caption that names a label or a frame
// means the first box after it. Other lines of a block run as they would
// outside it.

#include "common/win32/windows_api.h"

#include <chrono>
#include <deque>
#include <functional>
#include <string>
#include <vector>

#include "tools/simhost/scenario_script.h"
#include "tools/simhost/transcript.h"

namespace kq::simhost {

// Whether the line is one of the dialog lines above.
bool isDialogLine(const std::vector<std::string>& words);

class DialogDriver {
public:
    struct Services {
        Transcript& out;
        // Runs a line of the block that is no dialog line, recording it as a command.
        std::function<void(const ScriptLine&)> runLine;
        // A path of the script, as the script's folder makes it.
        std::function<std::string(const std::string&)> resolve;
    };
    explicit DialogDriver(Services services) : s_(std::move(services)) {}

    // The window that owns the add-ins' dialogs.
    void setHostWindow(HWND host) { host_ = host; }

    // A block to work through; `limit` is how long `dialog` waits.
    void begin(std::vector<ScriptLine> block, std::chrono::milliseconds limit);
    // One beat: runs the next line when the thread is free for it.
    void beat();
    // Stops the block; the number of its lines that did not run.
    std::size_t finish();
    // False once a line of the block failed.
    bool sound() const { return sound_; }

private:
    void run(const ScriptLine& line);
    void fail(const std::string& why);
    // Whether `dialog` found its window; false while it is still to come.
    bool findDialog(const std::string& caption);
    HWND control(const std::string& name, bool box) const;
    void type(HWND box, const std::string& text);
    void paste(HWND box, const std::string& text);
    void tick(HWND check, bool ticked);
    void pick(HWND list, const std::string& entry);
    void press(HWND button);
    void keys(const std::vector<std::string>& words);
    void screenshot(const std::string& file);
    void showDialog();
    void closeLeftovers();

    Services s_;
    HWND host_ = nullptr;
    HWND dialog_ = nullptr;
    std::deque<ScriptLine> block_;
    std::chrono::milliseconds limit_{60000};
    std::chrono::steady_clock::time_point waitingSince_{};
    bool waiting_ = false;
    std::chrono::steady_clock::time_point idleUntil_{};
    bool running_ = false;
    bool active_ = false;
    bool failed_ = false;
    bool sound_ = true;
};

}  // namespace kq::simhost
