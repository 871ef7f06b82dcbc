#include "viewer/page_view/page_view.h"

#include <algorithm>
#include <memory>

#include "common/history_reader.h"
#include "viewer/texts.h"

namespace kq::viewer {

namespace {

constexpr int kShadowStepPixels = 8;

}  // namespace

std::optional<PageFit> fitPage(double W, double H, double viewWidth, double viewHeight) {
    const double availableWidth = viewWidth - 2 * kPageMargin;
    const double availableHeight = viewHeight - 2 * kPageMargin;
    if (availableWidth <= 0 || availableHeight <= 0 || !(W > 0) || !(H > 0)) return std::nullopt;
    double width;
    double height;
    if (static_cast<float>(availableWidth / availableHeight) < static_cast<float>(W / H)) {
        width = availableWidth;
        height = H * width / W;
    } else {
        height = availableHeight;
        width = W * height / H;
    }
    if (width >= W && height >= H) {
        width = W;
        height = H;
    }
    return PageFit{{kPageMargin, kPageMargin, width, height}, width / W};
}

std::vector<ShadowTile> shadowTiles(const Rect& page, double twipsPerPixelX) {
    std::vector<ShadowTile> tiles;
    const double step = kShadowStepPixels * twipsPerPixelX;
    if (!(step > 0)) return tiles;
    for (double y = page.top; y <= page.bottom(); y += step)
        tiles.push_back({ShadowTile::Kind::right, page.right(), y});
    for (double x = page.left; x <= page.right(); x += step)
        tiles.push_back({ShadowTile::Kind::bottom, x, page.bottom()});
    tiles.push_back({ShadowTile::Kind::topRight, page.right(), page.top});
    tiles.push_back({ShadowTile::Kind::bottomLeft, page.left, page.bottom()});
    tiles.push_back({ShadowTile::Kind::bottomRight, page.right(), page.bottom()});
    return tiles;
}

PageNumber pageNumber(int wantedPage, int pageCount) {
    PageNumber n;
    n.count = pageCount > 0 ? pageCount : 0;
    n.current = wantedPage < 1 ? 1 : wantedPage;
    if (n.current > n.count) n.current = n.count;
    n.label = std::to_string(n.current) + " / " + std::to_string(n.count) + std::string(texts::kPageSuffix);
    n.previousEnabled = n.current > 1;
    n.nextEnabled = n.count > 1 && n.count != n.current;
    n.labelEnabled = n.count > 1;
    return n;
}

PageNumber greyed(PageNumber shown) {
    shown.previousEnabled = false;
    shown.nextEnabled = false;
    shown.labelEnabled = false;
    return shown;
}

std::string commentText(const std::vector<CommentRecord>& comments) {
    std::string text;
    for (const CommentRecord& comment : comments) {
        if (!text.empty()) text += "\r\n";
        text.append(texts::kCommentCell).append(comment.strCell).append("\r\n").append(texts::kCommentText);
        std::string_view rest = comment.varText;
        for (std::size_t at; (at = rest.find("\r\n")) != std::string_view::npos; rest.remove_prefix(at + 2)) {
            text.append(rest.substr(0, at)).append("\r\n").append(texts::kCommentIndent);
        }
        text.append(rest).append("\r\n");
    }
    return text;
}

std::string errorText(const std::vector<TextLineRecord>& errorLines) {
    std::string text;
    for (std::size_t i = 0; i < errorLines.size(); ++i) {
        if (i != 0) text += "\r\n";
        text += errorLines[i].strText;
    }
    return text;
}

namespace {

// Whether the current page can be drawn from its record: a sound record of some bytes.
bool drawable(const std::vector<PageImageRecord>& pages, const std::vector<std::size_t>& damagedPages,
              std::size_t current) {
    return current <= pages.size() && pages[current - 1].curSize > 0 &&
           std::ranges::find(damagedPages, current) == damagedPages.end();
}

// The bytes at [at, at + n), or empty when they cannot be read.
std::optional<std::vector<std::uint8_t>> bytesAt(ByteSource& source, std::uint64_t at, std::uint64_t n) {
    if (at > source.size() || n > source.size() - at) return std::nullopt;
    std::vector<std::uint8_t> bytes(static_cast<std::size_t>(n));
    if (n != 0 && !source.readAt(at, bytes.data(), bytes.size())) return std::nullopt;
    return bytes;
}

// One pass finds the page and the notes; a page whose record is damaged but
// whose length is sound does not stop the reading of the notes.
LoadedPage pageOf(ByteSource& source, const HistoryContents& contents, const std::string& path, int wantedPage) {
    LoadedPage loaded;
    loaded.loaded = true;
    loaded.path = path;
    loaded.number = pageNumber(wantedPage, contents.records.header.intPageCount);
    if (loaded.number.current == 0) return loaded;
    const auto current = static_cast<std::size_t>(loaded.number.current);
    if (drawable(contents.pages, contents.damagedPages, current)) {
        if (HistoryRead<std::vector<std::uint8_t>> bytes = readHistoryPage(source, contents.pages[current - 1])) {
            loaded.metafile = std::move(*bytes.value);
        }
    }
    loaded.comments = commentText(contents.records.comments);
    loaded.errors = errorText(contents.records.errorLines);
    return loaded;
}

}  // namespace

LoadedPage loadHistoryPage(FileSystem& files, const AnsiCodec& codec, const std::string& path, int wantedPage) {
    // Whatever the scan listed counts, hidden files included.
    if (path.empty() || files.kind(path) != PathKind::file) return {};
    const std::unique_ptr<ByteSource> source = files.openForReading(path);
    if (!source) return {};
    const HistoryRead<HistoryContents> contents = readHistoryContents(*source, codec);
    if (!contents) return {};
    return pageOf(*source, *contents.value, path, wantedPage);
}

LoadedPage PageReader::load(const std::string& path, int wantedPage) {
    if (path.empty() || files_.kind(path) != PathKind::file) return {};
    const std::unique_ptr<ByteSource> source = files_.openForReading(path);
    if (!source) return {};
    if (std::optional<LoadedPage> page = fromKnown(*source, path, wantedPage)) return std::move(*page);

    known_.reset();
    const HistoryRead<HistoryContents> read = readHistoryContents(*source, codec_);
    if (!read) return {};
    const HistoryContents& contents = *read.value;
    LoadedPage loaded = pageOf(*source, contents, path, wantedPage);
    // A history read whole is kept; a damaged one is read anew every time.
    if (contents.stoppedIn) return loaded;
    const std::uint64_t headEnd = contents.blockAt[static_cast<std::size_t>(HistoryBlock::pages)];
    const std::uint64_t notesAt = contents.blockAt[static_cast<std::size_t>(HistoryBlock::comments)];
    auto head = bytesAt(*source, 0, headEnd);
    auto notes = bytesAt(*source, notesAt, contents.end - notesAt);
    if (!head || !notes) return loaded;
    known_ = Known{.path = path,
                   .size = source->size(),
                   .head = std::move(*head),
                   .notesAt = notesAt,
                   .notes = std::move(*notes),
                   .pageCount = contents.records.header.intPageCount,
                   .pages = contents.pages,
                   .damagedPages = contents.damagedPages,
                   .comments = commentText(contents.records.comments),
                   .errors = errorText(contents.records.errorLines)};
    return loaded;
}

std::optional<LoadedPage> PageReader::fromKnown(ByteSource& source, const std::string& path, int wantedPage) {
    if (!known_ || known_->path != path || known_->size != source.size()) return std::nullopt;
    const Known& k = *known_;
    if (bytesAt(source, 0, k.head.size()) != k.head || bytesAt(source, k.notesAt, k.notes.size()) != k.notes) {
        return std::nullopt;
    }
    LoadedPage loaded;
    loaded.loaded = true;
    loaded.path = path;
    loaded.number = pageNumber(wantedPage, k.pageCount);
    if (loaded.number.current == 0) return loaded;
    const auto current = static_cast<std::size_t>(loaded.number.current);
    if (current > k.pages.size()) return std::nullopt;
    // The page's record must say what it said: the same size, as sound or as damaged as it was.
    HistoryRead<PageRecordRead> record = readHistoryPageRecord(source, k.pages[current - 1]);
    const bool damaged = std::ranges::find(k.damagedPages, current) != k.damagedPages.end();
    if (!record || record.value->sound == damaged) return std::nullopt;
    if (drawable(k.pages, k.damagedPages, current)) loaded.metafile = std::move(record.value->bytes);
    loaded.comments = k.comments;
    loaded.errors = k.errors;
    return loaded;
}

}  // namespace kq::viewer
