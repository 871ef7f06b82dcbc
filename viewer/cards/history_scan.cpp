#include "viewer/cards/history_scan.h"

#include <algorithm>
#include <memory>
#include <set>

#include "common/history_reader.h"
#include "viewer/texts.h"

namespace kq::viewer {

namespace {

std::string_view nameOf(std::string_view path) { return path.substr(path.rfind('\\') + 1); }

class Walk {
public:
    explicit Walk(FileSystem& files) : files_(files) {}

    void folder(std::string path, int depth) {
        if (depth > kMaxScanDepth) return;
        const std::optional<FolderListing> listing = files_.listFolder(path);
        if (!listing) return;
        if (listing->identity && !visited_.insert(*listing->identity).second) return;
        if (!path.ends_with('\\')) path += '\\';
        // The whole listing is taken before any folder below is entered.
        std::vector<std::string> below;
        for (const FolderEntry& entry : listing->entries) {
            if (entry.directory) {
                if (!entry.hidden && !entry.system) below.push_back(path + entry.name);
            } else if (hasHistoryExtension(entry.name)) {
                found.push_back({path + entry.name, entry.lastWrite});
            }
        }
        for (std::string& sub : below) folder(std::move(sub), depth + 1);
    }

    std::vector<FoundHistory> found;

private:
    FileSystem& files_;
    std::set<FileIdentity> visited_;
};

}  // namespace

std::vector<FoundHistory> scanHistoryFolder(FileSystem& files, const std::string& folder) {
    Walk walk(files);
    walk.folder(folder, 0);
    std::sort(walk.found.begin(), walk.found.end(), [](const FoundHistory& a, const FoundHistory& b) {
        if (a.lastWrite != b.lastWrite) return a.lastWrite > b.lastWrite;
        // History names carry their print time: the later name is the newer print.
        if (const auto c = nameOf(a.path) <=> nameOf(b.path); c != 0) return c > 0;
        return a.path > b.path;
    });
    return std::move(walk.found);
}

std::string cardKeyOf(const HistoryFileHeader& header, Grouping grouping) {
    switch (grouping) {
        case Grouping::all: return std::string(texts::kAllCardKey);
        case Grouping::sheet: return header.strSheetId;
        case Grouping::version: return header.strSheetId + "_" + header.strVersionId;
        case Grouping::category:
            return std::string(texts::kCategoryKeyPrefix) +
                   (header.strCategory.empty() ? std::string(texts::kNoCategory) : header.strCategory);
    }
    return {};
}

HeaderReader headerReader(FileSystem& files, const AnsiCodec& codec) {
    return [&files, &codec](const std::string& path) -> std::optional<HistoryFileHeader> {
        const std::unique_ptr<ByteSource> source = files.openForReading(path);
        if (!source) return std::nullopt;
        return readHistoryHeader(*source, codec).value;
    };
}

ListedHistoryReader listedHistoryReader(FileSystem& files, const AnsiCodec& codec) {
    return [&files, &codec](const std::string& path) -> std::optional<ListedHistory> {
        const std::unique_ptr<ByteSource> source = files.openForReading(path);
        if (!source) return std::nullopt;
        // What lies after the headings (pages, comments, errors) is not read.
        HistoryRead<HistoryHead> head = readHistoryHead(*source, codec);
        if (!head) return std::nullopt;
        return ListedHistory{std::move(head.value->header), std::move(head.value->headings), source->size()};
    };
}

void makeCards(CardBar& bar, const std::vector<FoundHistory>& found, const HeaderReader& read, Grouping grouping,
               const std::stop_token& stop) {
    for (const FoundHistory& history : found) {
        if (stop.stop_requested()) return;
        const std::optional<HistoryFileHeader> header = read(history.path);
        if (!header) continue;
        const std::string key = cardKeyOf(*header, grouping);
        std::size_t position = bar.find(key);
        if (position == 0) position = bar.Add(key);
        bar.FilesAdd(position, history.path, header->strBookPath, header->strBookName, header->strSheetName,
                     header->datPrintDate);
    }
}

CardBar readHistoryFolder(FileSystem& files, const AnsiCodec& codec, const std::string& folder, Grouping grouping,
                          CardMetrics metrics, const std::stop_token& stop) {
    CardBar bar(metrics);
    makeCards(bar, scanHistoryFolder(files, folder), headerReader(files, codec), grouping, stop);
    return bar;
}

}  // namespace kq::viewer
