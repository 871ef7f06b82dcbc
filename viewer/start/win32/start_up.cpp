#include "viewer/start/win32/start_up.h"

#include <string>
#include <string_view>

#include "common/runtime_errors.h"
#include "common/text_codec.h"
#include "common/texts.h"
#include "common/win32/message_prompts.h"
#include "common/win32/module.h"
#include "common/win32/registry_settings_store.h"
#include "common/win32/wide.h"
#include "common/win32/window.h"
#include "viewer/main_window/win32/history_window_start.h"
#include "viewer/start/win32/instance_window.h"
#include "viewer/texts.h"

namespace kq::viewer::win32 {

void ReadStartValues(std::wstring_view commandLine, ViewerRun& run) {
    const std::string line = kq::win32::narrow(commandLine);
    const std::string program = kq::win32::narrow(kq::win32::thisModulePath());
    readStartValues(
        argumentsOf(line, program), run.start, [&run] { return run.viewSetting().CardsCategoryType; },
        systemAnsiCodec());
}

namespace {

// A start that fails says why, in the error style, and ends with an exit code that says so too.
int failed(std::string_view why) {
    kq::win32::MessagePrompts(nullptr).message(why, texts::kTitle, mb::kOkOnly | mb::kIconCritical);
    return 1;
}

std::string handedOverLine(std::wstring_view commandLine) {
    const std::string line = kq::win32::narrow(commandLine);
    return withoutQuotes(argumentsOf(line, kq::win32::narrow(kq::win32::thisModulePath())));
}

// A later start: true when a running copy took its line or, with nothing to
// hand over, when one runs (which it is told). A running copy that is hung
// or closing takes nothing, and this start then opens as the first copy.
bool runningCopyServed(const std::string& line, InstanceDecision& decision) {
    if (line.empty()) {
        if (findInstanceWindows().empty()) return false;
        // The next start need not wait for the user to read this.
        decision.release();
        kq::win32::MessagePrompts(nullptr).message(texts::kAlreadyRunning, texts::kTitle,
                                                   mb::kOkOnly | mb::kIconExclamation);
        return true;
    }
    return SendCommandToInstance(line);
}

}  // namespace

int RunViewer(const wchar_t* commandLine) {
    try {
        kq::win32::setWindowFailureReporting({.title = std::string(texts::kTitle)});
        InstanceWindow receiver;
        {
            InstanceDecision decision;
            if (runningCopyServed(handedOverLine(commandLine), decision)) return 0;
            // Later starts find this copy from here on; one that cannot be
            // found only costs them a window of their own.
            receiver.open();
        }
        kq::win32::RegistrySettingsStore store;
        ViewerRun run(store);
        ReadStartValues(commandLine, run);
        if (ShowHistoryWindow(run, &receiver) == 0) return 0;
        // What kept the main window from being made (a picture missing, say)
        // waits with the window kit, to be told here rather than after.
        return failed(kq::win32::takeUntoldWindowFailure().value_or(
            kq::texts::ErrorMessage(runtime_errors::kInternalError, texts::kMainWindowNotMade)));
    } catch (...) {
        return failed(kq::win32::currentFailureMessage());
    }
}

}  // namespace kq::viewer::win32
