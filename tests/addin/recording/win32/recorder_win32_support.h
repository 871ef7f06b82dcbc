#pragma once
// What the Windows tests of the recorder share: a file system whose temp
// folder is a folder of the test's own, a whole recording world on the
// system's clipboard with real metafiles, metafile pieces drawn with GDI, a
// page rendered into pixels, and a measure of the GDI objects a process holds.

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <string>
#include <vector>

#include "addin/core/doc_pros.h"
#include "addin/core/setting.h"
#include "addin/recording/recorder_world.h"
#include "addin/recording/win32/clipboard_win32.h"
#include "addin/recording/win32/page_composer_win32.h"
#include "addin/recording/win32/recorder_clipboard_win32.h"
#include "common/settings_store.h"
#include "common/win32/bitmaps.h"
#include "common/win32/handles.h"
#include "common/win32/wide.h"
#include "common/win32/win32_file_system.h"
#include "common/win32/windows_api.h"
#include "host/sim/sim_application.h"
#include "host/sim/win32/sim_clipboard_win32.h"
#include "tests/support/fixed_known_folders.h"
#include "tests/support/scripted_prompts.h"
#include "tests/support/win32_scratch.h"

namespace kq::addin::recording::win32::test {

// The Win32 file system with the temp folder moved into a scratch folder, so
// that what the recorder leaves there can be seen apart from other programs.
class ScratchTempFiles final : public FileSystem {
public:
    explicit ScratchTempFiles(std::string tempFolder) : temp_(std::move(tempFolder)) {}
    PathKind kind(const std::string& path) override { return files_.kind(path); }
    bool createDirectory(const std::string& path) override { return files_.createDirectory(path); }
    bool removeFile(const std::string& path) override { return files_.removeFile(path); }
    bool moveFile(const std::string& from, const std::string& to) override { return files_.moveFile(from, to); }
    std::unique_ptr<ByteSource> openForReading(const std::string& path) override { return files_.openForReading(path); }
    std::optional<FolderListing> listFolder(const std::string& folder) override { return files_.listFolder(folder); }
    std::unique_ptr<ByteSink> createNew(const std::string& path) override { return files_.createNew(path); }
    std::optional<std::string> tempFolder() override { return temp_; }
    std::optional<std::string> createUniqueFile(const std::string& folder, const std::string& prefix) override {
        return files_.createUniqueFile(folder, prefix);
    }

private:
    kq::win32::Win32FileSystem files_;
    std::string temp_;
};

inline constexpr char kTitle[] = "Brelmont for Excel";

// The system's clipboard and metafiles; messages and the notice answered by the test.
class TestedSystem final : public RecorderSystem {
public:
    explicit TestedSystem(FileSystem& files) : files_(files) {}
    std::int32_t GetOS() override { return 12; }
    std::int32_t MsgBoxEx(const MsgBoxExArgs&) override { return msgbox::kOk | msgbox::kChecked; }
    void ShowFinished(double seconds) override { notices.push_back(seconds); }
    Clipboard& userClipboard() override { return user_; }
    RecorderClipboard& clipboard() override { return clipboard_; }
    PageComposer& composer() override { return composer_; }
    FileSystem& files() override { return files_; }
    Prompts& prompts() override { return shown; }
    const AnsiCodec& codec() override { return systemAnsiCodec(); }

    kq::test::ScriptedPrompts shown;
    std::vector<double> notices;

private:
    FileSystem& files_;
    Win32Clipboard user_;
    Win32RecorderClipboard clipboard_;
    Win32PageComposer composer_{shown, kTitle};
};

class FixedClock final : public kq::Clock {
public:
    vb::DateTime now() const override { return {2024, 3, 15, 10, 15, 30}; }
};

// A recording of the simulated host on the system's clipboard, with real
// metafiles and files: a history folder and a temp folder of the test's own,
// no confirmation, and the host copying to the system's clipboard.
struct Win32RecordingWorld {
    explicit Win32RecordingWorld(const std::wstring& name) : scratch(name) {
        sim->setClipboard(std::make_shared<host::sim::win32::Win32SimClipboard>());
    }

    RecorderWorld world() { return {sim, setting, docPros, clock, system, kTitle, "1.00.0.01"}; }

    static std::string madeFolder(const kq::test::ScratchFolder& scratch, const std::string& name) {
        const std::string path = scratch.path(name);
        CreateDirectoryW(kq::win32::wide(path).c_str(), nullptr);
        return path;
    }
    static MemorySettingsStore settingsFor(const std::string& history) {
        MemorySettingsStore store;
        store.set("Setting", "Folder", history);
        store.set("Setting", "ShowMessageWhenPrintRun", "0");
        return store;
    }

    kq::test::ScratchFolder scratch;
    std::string history = madeFolder(scratch, "History");
    std::string temp = madeFolder(scratch, "Temp");
    ScratchTempFiles files{temp};
    TestedSystem system{files};
    MemorySettingsStore store = settingsFor(history);
    kq::test::FixedKnownFolders known{std::string("C:\\")};
    c_Setting setting{store,
                      HistoryFolderServices{.files = files,
                                            .prompts = system.shown,
                                            .knownFolders = known,
                                            .programFolder = scratch.path(),
                                            .title = kTitle},
                      16};
    FixedClock clock;
    c_Xl_DocPros docPros{clock, [] { return 0.5; }};
    std::shared_ptr<host::sim::SimApplication> sim = host::sim::SimApplication::create(files);
};

// The names of the files in a folder.
inline std::vector<std::string> filesIn(const std::string& folder) {
    std::vector<std::string> names;
    WIN32_FIND_DATAW found;
    const kq::win32::FindHandle search(FindFirstFileW(kq::win32::wide(folder + "\\*").c_str(), &found));
    if (!search) return names;
    do {
        if (!(found.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY)) names.push_back(kq::win32::narrow(found.cFileName));
    } while (FindNextFileW(search.get(), &found));
    std::sort(names.begin(), names.end());
    return names;
}

// A piece `width` x `height` pixels, as the bytes of a metafile file: filled
// with `color` but for a margin of 4 pixels, through which what lies beneath
// shows.
inline std::vector<std::uint8_t> piecePicture(std::int32_t width, std::int32_t height, COLORREF color) {
    const RECT frame{0, 0, static_cast<LONG>(std::lround(width * GetHimetricPerPixel(0))),
                     static_cast<LONG>(std::lround(height * GetHimetricPerPixel(1)))};
    kq::win32::EnhMetafileRecorder recorder = kq::win32::recordEnhMetafile(nullptr, nullptr, frame);
    {
        const kq::win32::Brush brush(CreateSolidBrush(color));
        const RECT inner{4, 4, width - 4, height - 4};
        FillRect(recorder.get(), &inner, brush.get());
    }
    const kq::win32::EnhMetafile picture = recorder.close();
    return enhMetafileBytes(picture.get()).value_or(std::vector<std::uint8_t>{});
}

inline kq::win32::EnhMetafile metafileOf(const std::vector<std::uint8_t>& bytes) {
    return kq::win32::EnhMetafile(SetEnhMetaFileBits(static_cast<UINT>(bytes.size()), bytes.data()));
}

inline ENHMETAHEADER headerOf(HENHMETAFILE metafile) {
    ENHMETAHEADER header{};
    GetEnhMetaFileHeader(metafile, sizeof header, &header);
    return header;
}

// A metafile played into a white bitmap of the given size.
class Rendered {
public:
    Rendered(HENHMETAFILE metafile, std::int32_t width, std::int32_t height) : width_(width) {
        std::uint32_t* bits = nullptr;
        const kq::win32::DeviceContext dc = kq::win32::memoryDc(nullptr);
        const kq::win32::Bitmap bitmap = kq::win32::topDownBitmap(width, height, bits);
        const kq::win32::Selection drawing = kq::win32::selectObject(dc.get(), bitmap.get());
        const RECT all{0, 0, width, height};
        FillRect(dc.get(), &all, static_cast<HBRUSH>(GetStockObject(WHITE_BRUSH)));
        PlayEnhMetaFile(dc.get(), metafile, &all);
        GdiFlush();
        pixels_.assign(bits, bits + static_cast<std::size_t>(width) * height);
    }
    COLORREF at(std::int32_t x, std::int32_t y) const {
        const std::uint32_t bgr = pixels_.at(static_cast<std::size_t>(y) * width_ + x);
        return RGB((bgr >> 16) & 0xFF, (bgr >> 8) & 0xFF, bgr & 0xFF);
    }

private:
    std::int32_t width_;
    std::vector<std::uint32_t> pixels_;
};

// How much of the GDI the process holds: the system's count of its objects
// where the system keeps one; else (Wine) the highest slot of the handle table
// that a burst of new objects takes, which rises with every object left behind.
inline long gdiLoad() {
    if (const DWORD count = GetGuiResources(GetCurrentProcess(), GR_GDIOBJECTS)) return static_cast<long>(count);
    std::vector<kq::win32::Brush> probes;
    long highest = 0;
    for (int i = 0; i < 64; ++i) {
        probes.emplace_back(CreateSolidBrush(RGB(i, 1, 2)));
        highest = std::max(highest, static_cast<long>(reinterpret_cast<std::uintptr_t>(probes.back().get()) & 0xFFFF));
    }
    return highest;
}

}  // namespace kq::addin::recording::win32::test
