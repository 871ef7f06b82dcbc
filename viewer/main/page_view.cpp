#include "viewer/main/page_view.h"

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

LoadedPage loadHistoryPage(FileSystem& files, const AnsiCodec& codec, const std::string& path, int wantedPage) {
    LoadedPage loaded;
    // Whatever the scan listed counts, hidden files included.
    if (path.empty() || files.kind(path) != PathKind::file) return loaded;
    const std::unique_ptr<ByteSource> source = files.openForReading(path);
    if (!source) return loaded;
    // One pass finds the page and the notes; a page whose record is damaged
    // but whose length is sound does not stop the reading of the notes.
    const HistoryRead<HistoryContents> contents = readHistoryContents(*source, codec);
    if (!contents) return loaded;
    loaded.loaded = true;
    loaded.number = pageNumber(wantedPage, contents.value->records.header.intPageCount);
    if (loaded.number.current == 0) return loaded;

    const auto current = static_cast<std::size_t>(loaded.number.current);
    const std::vector<PageImageRecord>& pages = contents.value->pages;
    const bool damaged = std::ranges::find(contents.value->damagedPages, current) != contents.value->damagedPages.end();
    if (current <= pages.size() && pages[current - 1].curSize > 0 && !damaged) {
        if (HistoryRead<std::vector<std::uint8_t>> bytes = readHistoryPage(*source, pages[current - 1])) {
            loaded.metafile = std::move(*bytes.value);
        }
    }
    loaded.comments = commentText(contents.value->records.comments);
    loaded.errors = errorText(contents.value->records.errorLines);
    return loaded;
}

}  // namespace kq::viewer
