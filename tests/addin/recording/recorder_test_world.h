#pragma once
// A recording world without Windows, for tests and benchmarks: the simulated
// host and one clipboard in memory that the host copies to, the recorder reads
// and clipboard keeping keeps; metafiles as one line of text telling their
// size in pixels and what they show; every file in memory.

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <deque>
#include <map>
#include <memory>
#include <optional>
#include <ostream>
#include <span>
#include <sstream>
#include <stdexcept>
#include <string>
#include <vector>

#include "addin/core/doc_pros.h"
#include "addin/core/setting.h"
#include "addin/recording/recorder_world.h"
#include "common/history_reader.h"
#include "common/settings_store.h"
#include "host/sim/sim_application.h"
#include "host/sim/sim_clipboard.h"
#include "tests/support/fixed_known_folders.h"
#include "tests/support/memory_file_system.h"
#include "tests/support/scripted_prompts.h"

namespace kq {

// How the records show in a failed expectation.
inline void PrintTo(const UserHeadingRecord& r, std::ostream* out) {
    *out << "{\"" << r.strTitle << "\", \"" << r.strSource << "\", \"" << r.strValue << "\", " << r.lngCellLinkValueType
         << "}";
}
inline void PrintTo(const TextLineRecord& r, std::ostream* out) { *out << "{\"" << r.strText << "\"}"; }
inline void PrintTo(const ShapeRecord& r, std::ostream* out) {
    *out << "{\"" << r.strName << "\", \"" << r.varText << "\", " << r.strTopLeftCell << ", " << r.strBottomRightCell
         << "}";
}
inline void PrintTo(const CommentRecord& r, std::ostream* out) {
    *out << "{\"" << r.varText << "\", " << r.strCell << ", \"" << r.strAuthor << "\"}";
}

}  // namespace kq

namespace kq::addin::recording::test {

inline constexpr char kTitle[] = "Brelmont for Excel";
inline constexpr char kHistoryFolder[] = "C:\\History";
inline constexpr char kTempFolder[] = "C:\\Temp";
inline constexpr char kVersion[] = "1.00.0.01";

// Text made of parts, without a literal on the left of a "+".
template <typename... Parts>
std::string cat(const Parts&... parts) {
    std::string text;
    ((text += parts), ...);
    return text;
}

// "EMF <width> <height> <what it shows>"
inline std::string fakeMetafile(PixelSize size, const std::string& shows) {
    return cat("EMF ", std::to_string(size.width), " ", std::to_string(size.height), " ", shows);
}

inline std::optional<PixelSize> fakeMetafileSize(const std::string& bytes) {
    std::istringstream in(bytes);
    std::string magic;
    PixelSize size;
    if (!(in >> magic >> size.width >> size.height) || magic != "EMF") return std::nullopt;
    return size;
}

inline std::string asText(std::span<const std::uint8_t> bytes) { return {bytes.begin(), bytes.end()}; }
inline std::vector<std::uint8_t> asBytes(const std::string& text) { return {text.begin(), text.end()}; }

// The in-memory file system, with the files in a folder listed and failures
// on request.
class RecorderFiles final : public FileSystem {
public:
    PathKind kind(const std::string& path) override { return memory.kind(path); }
    bool createDirectory(const std::string& path) override { return memory.createDirectory(path); }
    bool removeFile(const std::string& path) override { return memory.removeFile(path); }
    bool moveFile(const std::string& from, const std::string& to) override {
        if (failMove) return false;
        const bool moved = memory.moveFile(from, to);
        if (moved) seen_.push_back(to);
        return moved;
    }
    std::unique_ptr<ByteSource> openForReading(const std::string& path) override { return memory.openForReading(path); }
    std::optional<FolderListing> listFolder(const std::string& folder) override { return memory.listFolder(folder); }
    std::unique_ptr<ByteSink> createNew(const std::string& path) override {
        std::unique_ptr<ByteSink> sink = memory.createNew(path);
        if (!sink) return nullptr;
        seen_.push_back(path);
        if (!path.ends_with(failWritesOf)) return sink;
        return std::make_unique<FailingSink>(std::move(sink));
    }
    std::optional<std::string> tempFolder() override { return memory.tempFolder(); }
    std::optional<std::string> createUniqueFile(const std::string& folder, const std::string& prefix) override {
        std::optional<std::string> path = memory.createUniqueFile(folder, prefix);
        if (path) seen_.push_back(*path);
        return path;
    }

    void addDirectory(const std::string& path) { memory.addDirectory(path); }
    std::vector<std::uint8_t> contents(const std::string& path) const { return memory.contents(path); }
    // The files in the folder now, as their paths, in the order they were made.
    std::vector<std::string> filesIn(const std::string& folder) const {
        std::vector<std::string> found;
        for (const std::string& path : seen_) {
            if (path.rfind('\\') == folder.size() && path.starts_with(folder) && memory.isFile(path) &&
                std::find(found.begin(), found.end(), path) == found.end()) {
                found.push_back(path);
            }
        }
        return found;
    }

    kq::test::MemoryFileSystem memory;
    bool failMove = false;
    // Every file whose path ends so takes a few bytes and then refuses the rest.
    std::string failWritesOf = "\\never";

private:
    class FailingSink final : public ByteSink {
    public:
        explicit FailingSink(std::unique_ptr<ByteSink> inner) : inner_(std::move(inner)) {}
        bool write(const void* data, std::size_t n) override {
            if (written_ > 0) return false;
            written_ += n;
            return inner_->write(data, n);
        }

    private:
        std::unique_ptr<ByteSink> inner_;
        std::size_t written_ = 0;
    };

    std::vector<std::string> seen_;
};

// The one clipboard of the world, in three roles.
class SharedClipboard final : public host::sim::SimClipboard, public Clipboard, public RecorderClipboard {
public:
    // The host copying: a picture shows its first cell's text.
    void putPicture(const host::sim::RangeDrawing& drawing) override {
        content.clear();
        const PixelSize size{static_cast<std::int32_t>(std::lround(drawing.width * 96 / 72)),
                             static_cast<std::int32_t>(std::lround(drawing.height * 96 / 72))};
        content["emf"] = fakeMetafile(size, drawing.cells.empty() ? std::string() : drawing.cells.front().text);
    }
    // The host's cell copy offers a picture of the cells too, when a test says so.
    void putText(const std::string& text) override {
        content.clear();
        content["text"] = text;
        if (cellCopiesCarryPicture) content["emf"] = fakeMetafile({1, 1}, "cell copy");
    }

    // Clipboard keeping.
    struct Data final : ClipboardData {
        explicit Data(std::string v) : value(std::move(v)) {}
        std::string value;
    };
    bool has(ClipFormat format) override { return content.contains(name(format)); }
    std::unique_ptr<ClipboardData> get(ClipFormat format) override {
        const auto it = content.find(name(format));
        return it == content.end() ? nullptr : std::make_unique<Data>(it->second);
    }
    void clear() override { content.clear(); }
    bool put(ClipFormat format, const ClipboardData& data) override {
        content[name(format)] = dynamic_cast<const Data&>(data).value;
        return true;
    }

    // The recorder. A read that fails leaves the clipboard as it was, as one
    // that cannot open it does.
    std::optional<std::vector<std::uint8_t>> takeEnhMetafile() override {
        if (metafileReadsLeft == 0) return std::nullopt;
        if (metafileReadsLeft > 0) --metafileReadsLeft;
        const std::optional<std::string> bytes = take("emf");
        if (!bytes) return std::nullopt;
        return asBytes(*bytes);
    }
    std::optional<std::string> takeText() override {
        if (!textReadable) return std::nullopt;
        return take("text");
    }

    static std::string name(ClipFormat format) {
        return format == ClipFormat::Text ? "text" : cat("format ", std::to_string(static_cast<std::uint32_t>(format)));
    }

    std::map<std::string, std::string> content;
    int metafileReadsLeft = -1;  // reads that succeed before the others fail; -1: all succeed
    bool textReadable = true;
    bool cellCopiesCarryPicture = false;

private:
    std::optional<std::string> take(const std::string& format) {
        std::optional<std::string> taken;
        if (const auto it = content.find(format); it != content.end()) taken = it->second;
        content.clear();
        return taken;
    }
};

// Pages put together as text: "PAGE w h", then one line per piece:
// "PIECE left top width height back|- <the piece's metafile>".
class FakeComposer final : public PageComposer {
public:
    std::optional<PixelSize> pieceSize(std::span<const std::uint8_t> picture) override {
        return fakeMetafileSize(asText(picture));
    }
    std::optional<std::vector<std::uint8_t>> combine(PixelSize page,
                                                     const std::vector<PiecePlacement>& pieces) override {
        if (refuse) return std::nullopt;
        std::string text = cat("PAGE ", std::to_string(page.width), " ", std::to_string(page.height), "\n");
        for (const PiecePlacement& p : pieces) {
            text += cat("PIECE ", std::to_string(p.left), " ", std::to_string(p.top), " ", std::to_string(p.width),
                        " ", std::to_string(p.height), p.background ? " back " : " - ", asText(p.picture), "\n");
        }
        return asBytes(text);
    }

    bool refuse = false;
};

class TestSystem final : public RecorderSystem {
public:
    TestSystem(RecorderFiles& files, SharedClipboard& clipboard, FakeComposer& composer,
               kq::test::ScriptedPrompts& prompts)
        : files_(files), clipboard_(clipboard), composer_(composer), prompts_(prompts) {}

    std::int32_t GetOS() override { return 12; }
    std::int32_t MsgBoxEx(const MsgBoxExArgs& args) override {
        boxes.push_back(args);
        if (answers.empty()) return msgbox::kOk | msgbox::kChecked;
        const std::int32_t answer = answers.front();
        answers.pop_front();
        return answer;
    }
    void ShowFinished(double seconds) override {
        notices.push_back(seconds);
        log.push_back(cat("notice ", vb::NumberText(seconds)));
    }
    Clipboard& userClipboard() override { return clipboard_; }
    RecorderClipboard& clipboard() override { return clipboard_; }
    PageComposer& composer() override { return composer_; }
    FileSystem& files() override { return files_; }
    Prompts& prompts() override { return logged_; }
    const AnsiCodec& codec() override { return systemAnsiCodec(); }

    std::vector<MsgBoxExArgs> boxes;
    std::deque<std::int32_t> answers;
    std::vector<double> notices;
    // Notices and messages in the order they came: "notice 2", "message <text>".
    std::vector<std::string> log;

private:
    class LoggedPrompts final : public Prompts {
    public:
        LoggedPrompts(Prompts& inner, std::vector<std::string>& log) : inner_(inner), log_(log) {}
        int message(std::string_view text, std::string_view title, unsigned style) override {
            log_.push_back(cat("message ", text));
            return inner_.message(text, title, style);
        }
        void beep() override { inner_.beep(); }

    private:
        Prompts& inner_;
        std::vector<std::string>& log_;
    };

    RecorderFiles& files_;
    SharedClipboard& clipboard_;
    FakeComposer& composer_;
    kq::test::ScriptedPrompts& prompts_;
    LoggedPrompts logged_{prompts_, log};
};

class FixedClock final : public Clock {
public:
    vb::DateTime now() const override { return at; }
    vb::DateTime at{2024, 3, 15, 10, 15, 30};
};

// Cells that show their own addresses ("B7"), so that a copied piece tells
// which cells it holds.
inline void fillWithAddresses(host::sim::SimWorksheet& sheet, std::int32_t top, std::int32_t left, std::int32_t bottom,
                              std::int32_t right) {
    for (std::int32_t row = top; row <= bottom; ++row) {
        for (std::int32_t column = left; column <= right; ++column) {
            sheet.setCell(row, column, host::sim::columnLetters(column) + std::to_string(row));
        }
    }
}

// The cells of a piece's text file (or of a page text): its first and last
// cell, "A1:B10", or one cell alone.
inline std::string cornersOfText(const std::string& text) {
    std::vector<std::string> rows;
    for (std::size_t start = 0; start < text.size();) {
        std::size_t end = text.find("\r\n", start);
        if (end == std::string::npos) end = text.size();
        rows.push_back(text.substr(start, end - start));
        start = end + 2;
    }
    while (!rows.empty() && rows.back().empty()) rows.pop_back();
    if (rows.empty()) return {};
    const std::string first = rows.front().substr(0, rows.front().find('\t'));
    const std::string last = rows.back().substr(rows.back().rfind('\t') + 1);
    return first == last ? first : cat(first, ":", last);
}

// Everything a recording needs, with the confirmation and the notice off
// until a test turns them on.
struct RecorderTestWorld {
    RecorderTestWorld() {
        files.addDirectory(kHistoryFolder);
        files.addDirectory(kTempFolder);
        files.addDirectory("C:\\books");
        files.memory.setTempFolder(kTempFolder);
        store.set("Setting", "Folder", kHistoryFolder);
        store.set("Setting", "ShowMessageWhenPrintRun", "0");
        store.set("Setting", "ShowProgressTime", "0");
        setting = std::make_unique<c_Setting>(store,
                                              HistoryFolderServices{.files = files,
                                                                    .prompts = prompts,
                                                                    .knownFolders = known,
                                                                    .programFolder = "C:\\Program Files\\Kez",
                                                                    .title = kTitle},
                                              16);
        sim->setClipboard(clipboard);
    }

    RecorderWorld world() { return {application, *setting, docPros, clock, system, kTitle, kVersion}; }

    // The history files, by name.
    std::vector<std::string> historyFiles() {
        std::vector<std::string> names;
        for (const std::string& path : files.filesIn(kHistoryFolder))
            names.push_back(path.substr(path.rfind('\\') + 1));
        return names;
    }
    HistoryRecords readHistory(const std::string& name) {
        const std::vector<std::uint8_t> bytes = files.contents(std::string(kHistoryFolder) + "\\" + name);
        MemorySource source(bytes);
        HistoryRead<HistoryRecords> read = readHistoryRecords(source, systemAnsiCodec());
        if (!read) throw std::runtime_error(name + " is damaged: " + read.damage);
        return std::move(*read.value);
    }
    // The metafiles of the pages of a history file, as text.
    std::vector<std::string> readPages(const std::string& name) {
        const std::vector<std::uint8_t> bytes = files.contents(std::string(kHistoryFolder) + "\\" + name);
        MemorySource source(bytes);
        std::vector<std::string> pages;
        const HistoryRead<std::vector<PageImageRecord>> records = readHistoryPages(source);
        if (!records) throw std::runtime_error(name + " is damaged: " + records.damage);
        for (const PageImageRecord& record : *records.value) {
            pages.push_back(asText(readHistoryPage(source, record).value.value()));
        }
        return pages;
    }

    RecorderFiles files;
    std::shared_ptr<SharedClipboard> clipboard = std::make_shared<SharedClipboard>();
    FakeComposer composer;
    kq::test::ScriptedPrompts prompts;
    TestSystem system{files, *clipboard, composer, prompts};
    MemorySettingsStore store;
    kq::test::FixedKnownFolders known{std::string("C:\\Users\\kei\\Documents")};
    std::unique_ptr<c_Setting> setting;
    FixedClock clock;
    c_Xl_DocPros docPros{clock, [] { return 0.5; }};
    std::shared_ptr<host::sim::SimApplication> sim = host::sim::SimApplication::create(files);
    host::ApplicationPtr application = sim;
};

}  // namespace kq::addin::recording::test
