#include "viewer/start/win32/instance_window.h"

#include <sddl.h>

#include <vector>

#include "common/text_codec.h"
#include "common/win32/wide.h"
#include "viewer/start/instance_payload.h"
#include "viewer/texts.h"

namespace kq::viewer::win32 {

namespace {

// The user's security id as text: the lock is one per user, whichever name
// or profile the user runs under. Empty when the system does not tell.
std::wstring userSid() {
    HANDLE token = nullptr;
    if (!OpenProcessToken(GetCurrentProcess(), TOKEN_QUERY, &token)) return {};
    const kq::win32::KernelHandle owned(token);
    DWORD size = 0;
    GetTokenInformation(token, TokenUser, nullptr, 0, &size);
    if (size == 0) return {};
    std::vector<unsigned char> buffer(size);
    if (!GetTokenInformation(token, TokenUser, buffer.data(), size, &size)) return {};
    kq::win32::LocalMemory<wchar_t> text;
    if (!ConvertSidToStringSidW(reinterpret_cast<TOKEN_USER*>(buffer.data())->User.Sid, text.put())) return {};
    return std::wstring(text.get());
}

std::wstring userName() {
    wchar_t name[257] = {};
    DWORD size = 257;
    return GetUserNameW(name, &size) ? std::wstring(name) : std::wstring{};
}

// In the session's own namespace: the receivers a start can find are those of its own desktop.
std::wstring decisionMutexName() {
    std::wstring user = userSid();
    if (user.empty()) user = userName();
    return L"Local\\KqViewerInstance-" + user;
}

}  // namespace

std::wstring instanceCaption() {
    return kq::win32::wide(std::string(texts::kTitle) + std::string(texts::kInstanceCaptionSuffix));
}

bool InstanceWindow::open() {
    if (hwnd()) return true;
    // A tool window that is never shown: no taskbar button, nothing on the screen.
    return create({.name = kInstanceWindowClass},
                  {.text = instanceCaption(),
                   .style = WS_POPUP,
                   .exStyle = WS_EX_TOOLWINDOW,
                   .x = 0,
                   .y = 0,
                   .width = 0,
                   .height = 0}) != nullptr;
}

void InstanceWindow::close() {
    take_ = {};
    end(0);
}

std::optional<LRESULT> InstanceWindow::OnMessage(UINT msg, WPARAM, LPARAM lParam) {
    if (msg != WM_COPYDATA) return std::nullopt;
    return received(reinterpret_cast<const COPYDATASTRUCT*>(lParam));
}

// The line is copied out of the message and handed on; whatever the running
// copy does with it happens later, after the sender has been answered.
LRESULT InstanceWindow::received(const COPYDATASTRUCT* data) {
    if (!data || !take_) return FALSE;
    std::optional<std::string> line =
        decodeInstancePayload(static_cast<std::uint64_t>(data->dwData), data->lpData, data->cbData, systemAnsiCodec());
    if (!line) return FALSE;
    return take_(std::move(*line)) ? TRUE : FALSE;
}

std::vector<HWND> findInstanceWindows() {
    const std::wstring caption = instanceCaption();
    std::vector<HWND> found;
    for (HWND w = FindWindowExW(nullptr, nullptr, kInstanceWindowClass, caption.c_str()); w;
         w = FindWindowExW(nullptr, w, kInstanceWindowClass, caption.c_str())) {
        DWORD process = 0;
        GetWindowThreadProcessId(w, &process);
        if (process != GetCurrentProcessId()) found.push_back(w);
    }
    return found;
}

bool SendCopyData(HWND window, const std::string& payload) {
    if (payload.size() > kInstancePayloadLimit) return false;
    COPYDATASTRUCT data{};
    data.dwData = static_cast<ULONG_PTR>(kInstancePayloadTag);
    data.cbData = static_cast<DWORD>(payload.size());
    data.lpData = const_cast<char*>(payload.data());
    DWORD_PTR answer = FALSE;
    const LRESULT sent =
        SendMessageTimeoutW(window, WM_COPYDATA, 0, reinterpret_cast<LPARAM>(&data), SMTO_ABORTIFHUNG | SMTO_BLOCK,
                            static_cast<UINT>(kHandOverTimeout.count()), &answer);
    return sent != 0 && answer == TRUE;
}

bool SendCommandToInstance(std::string_view line) {
    const std::string payload = encodeInstancePayload(line, systemAnsiCodec());
    for (HWND receiver : findInstanceWindows()) {
        if (SendCopyData(receiver, payload)) return true;
    }
    return false;
}

InstanceDecision::InstanceDecision() {
    mutex_.reset(CreateMutexW(nullptr, FALSE, decisionMutexName().c_str()));
    if (!mutex_) return;
    // An abandoned lock is held all the same: its holder ended while deciding.
    const DWORD waited = WaitForSingleObject(mutex_.get(), static_cast<DWORD>(kDecisionTimeout.count()));
    held_ = waited == WAIT_OBJECT_0 || waited == WAIT_ABANDONED;
}

void InstanceDecision::release() {
    if (held_) ReleaseMutex(mutex_.get());
    held_ = false;
}

}  // namespace kq::viewer::win32
