#pragma once
// What the bridge's logic is given of Windows and the host: the Windows
// version, message boxes owned by the window in front, the library's strings,
// markup and pictures, and the host's built-in images.

#include "ribbon/connect2.h"

namespace kq::ribbon::win32 {

class Win32BridgeSystem final : public BridgeSystem {
public:
    std::int32_t GetOS() override;
    Prompts& prompts() override { return prompts_; }
    std::optional<std::string> LoadResString(std::int32_t id) override;
    std::optional<std::string> LoadCustomUI(std::string_view resourceName) override;
    PicturePtr LoadResPNGPicture(std::string_view resourceName, Prompts& prompts) override;
    PicturePtr GetImageMso(const host::ApplicationPtr& application, const std::string& name, int width,
                           int height) override;

private:
    // Message boxes owned by the thread's active window (the host's, while it runs a callback).
    class ActiveWindowPrompts final : public Prompts {
    public:
        int message(std::string_view text, std::string_view title, unsigned style) override;
        void beep() override;
    };
    ActiveWindowPrompts prompts_;
};

}  // namespace kq::ribbon::win32
