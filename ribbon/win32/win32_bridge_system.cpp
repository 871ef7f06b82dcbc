#include "ribbon/win32/win32_bridge_system.h"

#include "common/win32/message_prompts.h"
#include "common/win32/module.h"
#include "common/win32/system_version.h"
#include "common/win32/wide.h"
#include "host/dispatch/dispatch_call.h"
#include "host/dispatch/dispatch_host.h"
#include "ribbon/texts.h"
#include "ribbon/win32/markup_document.h"
#include "ribbon/win32/pictures.h"

namespace kq::ribbon::win32 {

std::int32_t Win32BridgeSystem::GetOS() {
    std::string versionText;
    return kq::win32::GetOS(versionText);
}

int Win32BridgeSystem::ActiveWindowPrompts::message(std::string_view text, std::string_view title, unsigned style) {
    return kq::win32::MessagePrompts(GetActiveWindow()).message(text, title, style);
}

void Win32BridgeSystem::ActiveWindowPrompts::beep() { kq::win32::MessagePrompts(nullptr).beep(); }

std::optional<std::string> Win32BridgeSystem::LoadResString(std::int32_t id) { return kq::win32::loadModuleString(id); }

std::optional<std::string> Win32BridgeSystem::LoadCustomUI(std::string_view resourceName) {
    return loadMarkupResource(resourceName);
}

PicturePtr Win32BridgeSystem::LoadResPNGPicture(std::string_view resourceName, Prompts& prompts) {
    return win32::LoadResPNGPicture(kq::win32::wide(resourceName), prompts, std::string(texts::kTitle));
}

PicturePtr Win32BridgeSystem::GetImageMso(const host::ApplicationPtr& application, const std::string& name, int width,
                                          int height) {
    IDispatch* host = host::dispatch::dispatchOf(application);
    if (!host) throw host::runtimeError(host::err::kObjectRequired);
    kq::win32::ComPtr<IDispatch> picture =
        host::dispatch::Caller(kq::win32::ComPtr<IDispatch>::share(host))
            .child("CommandBars")
            .object("GetImageMso", name, static_cast<std::int32_t>(width), static_cast<std::int32_t>(height));
    if (!picture) throw host::runtimeError(host::err::kObjectNotSet);
    return std::make_shared<ComPicture>(std::move(picture));
}

}  // namespace kq::ribbon::win32
