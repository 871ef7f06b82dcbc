#pragma once
// Makes the shell of the test prefix open some kinds of file (".chm") and
// some addresses ("http", "https") with the command-line recorder
// (command_line_recorder.exe) for as long as it lives, and puts back what was
// registered before. What the shell asked to open is then read from the
// recorder's log. The programs of a test reach the shell through the machine's
// classes, which is where Wine looks, so that is where this registers.
//
// Registering changes the prefix for every program in it: hold the
// wine_registry lock.

#include "common/win32/windows_api.h"

#include <shellapi.h>
#include <shlwapi.h>

#include <cstring>
#include <filesystem>
#include <optional>
#include <string>
#include <vector>

#include "common/win32/handles.h"
#include "tests/support/win32/window_driver.h"
#include "tests/tools/end_to_end_support.h"

namespace kq::test {

class ShellOpenRecorder {
public:
    // `recorder`: the recorder program's Windows path. `kinds`: file extensions
    // with their dot, or address schemes without one.
    ShellOpenRecorder(std::wstring recorder, const std::vector<std::wstring>& kinds) : recorder_(std::move(recorder)) {
        forget();
        const std::wstring command = L"\"" + recorder_ + L"\" \"%1\"";
        setDefault(kProgId + L"\\shell\\open\\command", command);
        for (const std::wstring& kind : kinds) {
            if (kind.starts_with(L".")) {
                setDefault(kind, kProgId);
            } else {
                setDefault(kind + L"\\shell\\open\\command", command);
            }
        }
    }
    ~ShellOpenRecorder() {
        for (auto it = saved_.rbegin(); it != saved_.rend(); ++it) {
            if (it->value) {
                writeDefault(it->key, *it->value);
            } else {
                RegDeleteValueW(openKey(it->key).get(), nullptr);
            }
        }
        SHDeleteKeyW(HKEY_LOCAL_MACHINE, (kClasses + kProgId).c_str());
        forget();
    }
    ShellOpenRecorder(const ShellOpenRecorder&) = delete;
    ShellOpenRecorder& operator=(const ShellOpenRecorder&) = delete;

    // What the shell last asked the recorder to open: its argument as the
    // recorder received it, waited for up to `limitMs`; empty when nothing came.
    std::optional<std::wstring> opened(DWORD limitMs = 10000) const {
        const std::optional<std::wstring> line = waitForLog(logPath(), limitMs);
        if (!line) return std::nullopt;
        int count = 0;
        const win32::LocalMemory<LPWSTR> args(CommandLineToArgvW(line->c_str(), &count));
        if (!args || count < 2) return std::wstring();
        return std::wstring(args.get()[count - 1]);
    }
    // Forgets what was opened so far.
    void forget() const {
        std::error_code ignored;
        std::filesystem::remove(logPath(), ignored);
    }

    // The command line a recorder (or a copy of it) at `program` was last
    // started with, waited for up to `limitMs`.
    static std::optional<std::wstring> waitForLog(const std::filesystem::path& log, DWORD limitMs) {
        if (!waitUntil([&log] { return std::filesystem::exists(log); }, std::chrono::milliseconds(limitMs))) {
            return std::nullopt;
        }
        const std::vector<std::uint8_t> bytes = readBytes(log);
        std::wstring text(bytes.size() / sizeof(wchar_t), L'\0');
        std::memcpy(text.data(), bytes.data(), text.size() * sizeof(wchar_t));
        return text;
    }
    static std::filesystem::path logOf(const std::wstring& program) { return program + L".log"; }

private:
    struct Saved {
        std::wstring key;
        std::optional<std::wstring> value;
    };
    inline static const std::wstring kClasses = L"Software\\Classes\\";
    inline static const std::wstring kProgId = L"KqTest.OpenRecorder";

    std::filesystem::path logPath() const { return logOf(recorder_); }

    static win32::RegistryKey openKey(const std::wstring& key) {
        win32::RegistryKey opened;
        RegCreateKeyExW(HKEY_LOCAL_MACHINE, (kClasses + key).c_str(), 0, nullptr, 0, KEY_READ | KEY_SET_VALUE, nullptr,
                        opened.put(), nullptr);
        return opened;
    }
    static void writeDefault(const std::wstring& key, const std::wstring& value) {
        RegSetValueExW(openKey(key).get(), nullptr, 0, REG_SZ, reinterpret_cast<const BYTE*>(value.c_str()),
                       static_cast<DWORD>((value.size() + 1) * sizeof(wchar_t)));
    }
    // Keeps the value it replaces, unless it is the recorder's own key.
    void setDefault(const std::wstring& key, const std::wstring& value) {
        if (!key.starts_with(kProgId)) {
            const win32::RegistryKey opened = openKey(key);
            wchar_t buffer[2048] = {};
            DWORD bytes = sizeof buffer - sizeof(wchar_t);
            DWORD type = 0;
            const bool had = RegQueryValueExW(opened.get(), nullptr, nullptr, &type, reinterpret_cast<BYTE*>(buffer),
                                              &bytes) == ERROR_SUCCESS &&
                             type == REG_SZ;
            saved_.push_back({key, had ? std::optional<std::wstring>(buffer) : std::nullopt});
        }
        writeDefault(key, value);
    }

    std::wstring recorder_;
    std::vector<Saved> saved_;
};

}  // namespace kq::test
