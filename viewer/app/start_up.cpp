#include "viewer/app/start_up.h"

#include <exception>
#include <string>
#include <string_view>

#include "common/runtime_errors.h"
#include "common/text_codec.h"
#include "common/win32/message_prompts.h"
#include "common/win32/module.h"
#include "common/win32/registry_settings_store.h"
#include "common/win32/wide.h"
#include "viewer/main/win32/history_window_start.h"
#include "viewer/shell/win32/instance_window.h"
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

int failed(std::string_view what) {
    kq::win32::MessagePrompts(nullptr).message(what, texts::kTitle, mb::kOkOnly | mb::kIconCritical);
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
        return ShowHistoryWindow(run, &receiver);
    } catch (const std::exception& failure) {
        return failed(failure.what());
    } catch (...) {
        return failed(runtime_errors::description(runtime_errors::kInternalError));
    }
}

}  // namespace kq::viewer::win32
