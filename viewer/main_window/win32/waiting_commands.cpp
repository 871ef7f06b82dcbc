#include "viewer/main_window/win32/waiting_commands.h"

namespace kq::viewer::win32 {

WaitingCommands::WaitingCommands(std::function<bool()> busy, const kq::win32::Window* window)
    : busy_(std::move(busy)), task_([this] { run(); }, window) {}

bool WaitingCommands::handOver(std::string line) {
    if (closing_ || closeAsked_) return false;
    line_ = std::move(line);
    // Never carried out here: this runs inside the message of another
    // process, possibly in the middle of a command of the window.
    task_.post();
    return true;
}

bool WaitingCommands::closeNowOrLater() {
    if (task_.mayRunNow() && !busy_()) return true;
    closeAsked_ = true;
    task_.post();
    return false;
}

void WaitingCommands::settled() {
    if (line_ || closeAsked_) task_.post();
}

void WaitingCommands::run() {
    // The browser's steps and work come first: their end posts this again.
    if (busy_()) return;
    if (closeAsked_) {
        line_.reset();
        closeDue();
        return;
    }
    if (!line_) return;
    std::string line = std::move(*line_);
    line_.reset();
    lineDue(line);
}

}  // namespace kq::viewer::win32
