#pragma once
// The viewer's main window opened in the test's process on a history folder
// of its own, with the test's view settings, its folder listings counted and
// its help command answered by the test.

#include <atomic>
#include <functional>
#include <initializer_list>
#include <memory>
#include <string>
#include <utility>

#include <gtest/gtest.h>

#include "common/settings_store.h"
#include "common/win32/win32_file_system.h"
#include "tests/support/win32_scratch.h"
#include "viewer/main_window/win32/history_window.h"

namespace kq::viewer::win32::fixture {

using kq::test::ScratchFolder;

// The system's files, with the folder listings counted: a reload lists the
// (empty) history folder once.
class CountedFiles final : public FileSystem {
public:
    // Counted on whichever thread reads the folder.
    std::atomic<int> listings = 0;
    // Told of every file opened for reading.
    std::function<void(const std::string& path)> opening;

    PathKind kind(const std::string& path) override { return system_.kind(path); }
    bool createDirectory(const std::string& path) override { return system_.createDirectory(path); }
    bool removeFile(const std::string& path) override { return system_.removeFile(path); }
    bool moveFile(const std::string& from, const std::string& to) override { return system_.moveFile(from, to); }
    std::unique_ptr<ByteSource> openForReading(const std::string& path) override {
        if (opening) opening(path);
        return system_.openForReading(path);
    }
    std::optional<FolderListing> listFolder(const std::string& folder) override {
        ++listings;
        return system_.listFolder(folder);
    }
    std::unique_ptr<ByteSink> createNew(const std::string& path) override { return system_.createNew(path); }
    std::optional<std::string> tempFolder() override { return system_.tempFolder(); }
    std::optional<std::string> createUniqueFile(const std::string& folder, const std::string& prefix) override {
        return system_.createUniqueFile(folder, prefix);
    }

private:
    kq::win32::Win32FileSystem system_;
};

struct Opened {
    MemorySettingsStore store;
    ViewerRun run{store};
    ScratchFolder folder{L"kq_history_window"};
    CountedFiles files;
    int helps = 0;
    // Each command done before it returns; the window's own thread is tested apart.
    WorkHere here;
    std::unique_ptr<HistoryWindow> window;

    // `fill` puts the histories into the folder before the window opens.
    // `ownThread`: the window's long work runs on its thread, as in the program.
    explicit Opened(std::initializer_list<std::pair<const char*, const char*>> view = {},
                    const std::function<void(const std::string& folder)>& fill = {}, bool ownThread = false) {
        for (const auto& [name, value] : view) store.write("View", name, value);
        run.start.gSaveFolder = folder.path();
        if (fill) fill(folder.path());
        window = std::make_unique<HistoryWindow>(run, HistoryWindowServices{.files = &files, .help = [this] { ++helps; }, .work = ownThread ? nullptr : &here});
        EXPECT_TRUE(window->open());
    }
    RECT part(int index) const {
        RECT r{};
        GetWindowRect(window->splitterPart(index), &r);
        MapWindowPoints(nullptr, window->hwnd(), reinterpret_cast<POINT*>(&r), 2);
        return r;
    }
    void mouse(int index, UINT msg, WPARAM keys, int x, int y) {
        SendMessageW(window->splitterPart(index), msg, keys, MAKELPARAM(x, y));
    }
};


}  // namespace kq::viewer::win32::fixture
