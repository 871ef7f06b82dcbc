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

}  // namespace

int RunViewer(const wchar_t* commandLine) {
    // Until a running copy can take a later start's line, every start runs as the first copy.
    try {
        kq::win32::RegistrySettingsStore store;
        ViewerRun run(store);
        ReadStartValues(commandLine, run);
        return ShowHistoryWindow(run);
    } catch (const std::exception& failure) {
        return failed(failure.what());
    } catch (...) {
        return failed(runtime_errors::description(runtime_errors::kInternalError));
    }
}

}  // namespace kq::viewer::win32
