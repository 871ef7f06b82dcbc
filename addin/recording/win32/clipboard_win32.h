#pragma once
// The system clipboard behind the recorder's clipboard keeping.

#include "common/win32/windows_api.h"

#include <memory>

#include "addin/recording/clipboard_keeping.h"
#include "common/win32/handles.h"

namespace kq::addin::recording::win32 {

// Opens the clipboard for each operation with a hidden window of its own,
// which owns what it puts back; a clipboard that another program holds open
// is tried again for a short while. Text is kept as Unicode when the clipboard
// has it, so no character is lost to the ANSI code page.
class Win32Clipboard final : public Clipboard {
public:
    Win32Clipboard();

    bool has(ClipFormat format) override;
    std::unique_ptr<ClipboardData> get(ClipFormat format) override;
    void clear() override;
    bool put(ClipFormat format, const ClipboardData& data) override;

    // The system's number of a kept format (the DDE link's is registered).
    static UINT systemFormat(ClipFormat format);

private:
    kq::win32::OwnedWindow window_;
};

}  // namespace kq::addin::recording::win32
