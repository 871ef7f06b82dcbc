#include "addin/recording/page_images.h"

#include <algorithm>
#include <limits>
#include <utility>

#include "addin/core/texts.h"

namespace kq::addin::recording {

namespace {

// Runs a step whose failure must not stop anything: putting the host back.
template <typename Step>
void quietly(Step&& step) {
    try {
        step();
    } catch (...) {
    }
}

std::string columnLetters(std::int32_t column) {
    std::string letters;
    for (std::int32_t c = column; c > 0; c = (c - 1) / 26) {
        letters.insert(letters.begin(), static_cast<char>('A' + (c - 1) % 26));
    }
    return letters;
}

std::string cellAddress(std::int32_t row, std::int32_t column) {
    std::string text = "$";
    text += columnLetters(column);
    text += '$';
    text += std::to_string(row);
    return text;
}

std::int32_t lastRowOf(host::Range& range) { return range.Row() + range.RowsCount() - 1; }
std::int32_t lastColumnOf(host::Range& range) { return range.Column() + range.ColumnsCount() - 1; }

// What making pages changes of the host, put back however the making ends.
class HostState {
public:
    explicit HostState(host::Application& application) : app_(application) {}
    HostState(const HostState&) = delete;
    HostState& operator=(const HostState&) = delete;
    ~HostState() { restore(); }

    // Page pictures are taken without redrawing and without the events that
    // sheet activation would raise to the add-in's own sink.
    void quiet() {
        screenUpdating_ = app_.ScreenUpdating();
        events_ = app_.EnableEvents();
        app_.SetScreenUpdating(false);
        app_.SetEnableEvents(false);
    }

    void keepSelection() {
        if (const host::SheetPtr active = app_.ActiveSheet()) sheet_ = active->AsWorksheet();
        activeCell_ = app_.ActiveCell();
        selection_ = app_.Selection();
    }

    // The host reports page breaks as they stand in page-break preview.
    void showPageBreaks(host::Worksheet& sheet) {
        sheet.Activate();
        window_ = app_.ActiveWindow();
        if (!window_) return;
        view_ = window_->View();
        window_->SetView(host::xlPageBreakPreview);
    }

private:
    // The selection goes back before the active cell, which the host then
    // keeps inside it; the other way round the selection would move it.
    void restore() {
        if (sheet_) quietly([&] { sheet_->Activate(); });
        if (selection_) quietly([&] { selection_->Select(); });
        if (activeCell_) quietly([&] { activeCell_->Activate(); });
        if (window_ && view_) quietly([&] { window_->SetView(*view_); });
        if (screenUpdating_) quietly([&] { app_.SetScreenUpdating(*screenUpdating_); });
        if (events_) quietly([&] { app_.SetEnableEvents(*events_); });
    }

    host::Application& app_;
    std::optional<bool> screenUpdating_;
    std::optional<bool> events_;
    host::WorksheetPtr sheet_;
    host::RangePtr activeCell_;
    host::RangePtr selection_;
    host::WindowPtr window_;
    std::optional<std::int32_t> view_;
};

struct Band {
    std::int32_t first = 0;
    std::int32_t last = 0;
};

// One direction of the page grid: the bands from one page break (or the
// print range's start) to the row or column before the next break (or the
// range's end). Breaks are the host's, which are not bound to a save range:
// bands before the range are passed over and the others cut to it.
class Bands {
public:
    Bands(std::vector<host::RangePtr> breaks, bool rows, std::int32_t first, std::int32_t last)
        : breaks_(std::move(breaks)), rows_(rows), first_(first), last_(last), start_(first) {}

    // Empty after the last band, and when a break can't be read.
    std::optional<Band> next() {
        while (index_ <= breaks_.size() && !failed_) {
            Band band{start_, last_};
            if (index_ < breaks_.size()) {
                const std::optional<std::int32_t> at = breakAt(index_);
                if (!at) {
                    failed_ = true;
                    return std::nullopt;
                }
                band.last = *at - 1;
                start_ = *at;
            }
            ++index_;
            band.first = std::max(band.first, first_);
            band.last = std::min(band.last, last_);
            if (band.first > last_) return std::nullopt;
            if (band.first <= band.last) return band;
        }
        return std::nullopt;
    }

    bool failed() const { return failed_; }

private:
    std::optional<std::int32_t> breakAt(std::size_t index) {
        std::optional<std::int32_t> at;
        host::ignoreErrors([&] {
            host::Range& location = *breaks_.at(index);
            at = rows_ ? location.Row() : location.Column();
        });
        return at;
    }

    std::vector<host::RangePtr> breaks_;
    bool rows_;
    std::int32_t first_;
    std::int32_t last_;
    std::int32_t start_;
    std::size_t index_ = 0;
    bool failed_ = false;
};

struct Piece {
    PieceKind kind;
    host::RangePtr range;
    std::int32_t position = 0;  // on the page, from 1: corner, title columns, title rows, body
};

// The order in which the pieces of a page are captured, and so the order of
// their texts in the history file: the page's own cells first.
constexpr PieceKind kCaptureOrder[] = {PieceKind::body, PieceKind::corner, PieceKind::titleRows,
                                       PieceKind::titleColumns};

// Captures page units: the pieces of each, their metafiles and texts.
class PageMaker {
public:
    PageMaker(PageServices& services, RecordingLists& lists, host::RangePtr titleRows, host::RangePtr titleColumns)
        : s_(services), lists_(lists), titleRows_(std::move(titleRows)), titleColumns_(std::move(titleColumns)) {}

    // One page rectangle, met with every area of the print range; false when
    // the capture is to end.
    bool pageRectangle(const host::RangePtr& rectangle, const std::vector<host::RangePtr>& areas) {
        bool goOn = true;
        for (const host::RangePtr& area : areas) {
            const std::vector<Piece> pieces = cut(area, rectangle);
            if (++units_ > kMaxPageUnits) {
                lists_.colErrors.push_back(texts::WithName(texts::kMaxPages, ""));
                return false;
            }
            const auto count = static_cast<std::int32_t>(pieces.size());
            for (std::int32_t index = 1; index <= count; ++index) {
                if (!capture(pieces[static_cast<std::size_t>(index - 1)], index, count)) {
                    goOn = false;
                    break;
                }
            }
        }
        return goOn;
    }

private:
    // The pieces in capture order, each knowing its position. Titles repeat
    // only on a page that starts below (right of) them; on a page that starts
    // on or above them they print as ordinary cells.
    std::vector<Piece> cut(const host::RangePtr& area, const host::RangePtr& rectangle) {
        host::Application& app = s_.application;
        host::RangePtr body;
        host::ignoreErrors([&] { body = app.Intersect(area, rectangle); });
        if (!body) return {};
        host::RangePtr rows;
        host::RangePtr columns;
        host::RangePtr corner;
        if (titleRows_) {
            host::ignoreErrors([&] {
                if (body->Row() > lastRowOf(*titleRows_)) rows = app.Intersect(titleRows_, body->EntireColumn());
            });
        }
        if (titleColumns_) {
            host::ignoreErrors([&] {
                if (body->Column() > lastColumnOf(*titleColumns_)) {
                    columns = app.Intersect(titleColumns_, body->EntireRow());
                }
            });
        }
        if (rows && columns) host::ignoreErrors([&] { corner = app.Intersect(titleColumns_, titleRows_); });

        std::vector<Piece> placed;
        if (corner) placed.push_back({PieceKind::corner, corner});
        if (columns) placed.push_back({PieceKind::titleColumns, columns});
        if (rows) placed.push_back({PieceKind::titleRows, rows});
        placed.push_back({PieceKind::body, body});
        for (std::size_t i = 0; i < placed.size(); ++i) placed[i].position = static_cast<std::int32_t>(i + 1);

        std::vector<Piece> pieces;
        for (const PieceKind kind : kCaptureOrder) {
            for (const Piece& piece : placed) {
                if (piece.kind == kind) pieces.push_back(piece);
            }
        }
        return pieces;
    }

    // The piece's picture and text; false when the capture is to end.
    bool capture(const Piece& piece, std::int32_t index, std::int32_t count) {
        host::Application& app = s_.application;
        host::ignoreErrors([&] { app.SetStatusBar(std::string(texts::kSaving) + std::to_string(index)); });

        // The last error of the copy steps, which go on after a failure as
        // far as the clipboard lets them.
        std::optional<std::int32_t> error;
        const auto attempt = [&](const auto& step) {
            try {
                step();
            } catch (const host::HostError& e) {
                error = e.number();
            }
        };

        attempt([&] { piece.range->CopyPicture(host::xlPrinter, host::xlPicture); });
        std::optional<std::vector<std::uint8_t>> picture;
        if (tempFolderUsable()) picture = s_.clipboard.takeEnhMetafile();
        if (!picture) {
            lists_.colErrors.emplace_back(texts::kCopyMetafile);
            return false;
        }
        lists_.colPages.push_back({units_, piece.position, count, piece.kind, std::move(*picture)});

        attempt([&] { piece.range->Copy(); });
        const std::optional<std::string> text = s_.clipboard.takeText();
        if (!text) {
            lists_.colErrors.emplace_back(texts::kCopyTextfile);
            return false;
        }
        // In the code page and with one more line end, as the text block of
        // the history file is made from it.
        lists_.colTexts.push_back({units_, s_.codec.toAnsi(*text) + "\r\n"});

        attempt([&] { app.ClearCutCopyMode(); });
        if (error) {
            lists_.colErrors.push_back(texts::RuntimeErrorLine(*error));
            return false;
        }
        return true;
    }

    // Users rely on hearing at once that their temp folder is missing or
    // refuses files, which the rest of the system needs: the first piece of a
    // sheet makes and deletes a temp file, and a failure ends the capture.
    // The pieces themselves stay in memory.
    bool tempFolderUsable() {
        if (!tempFolderChecked_) {
            tempFolderChecked_ = true;
            tempFolderUsable_ = !s_.temp.GetTempFileFullpath("KEZ", "").empty();
        }
        return tempFolderUsable_;
    }

    PageServices& s_;
    RecordingLists& lists_;
    host::RangePtr titleRows_;
    host::RangePtr titleColumns_;
    std::int32_t units_ = 0;
    bool tempFolderChecked_ = false;
    bool tempFolderUsable_ = false;
};

}  // namespace

std::string areaAddress(std::int32_t top, std::int32_t left, std::int32_t bottom, std::int32_t right) {
    std::string text = cellAddress(top, left);
    if (top != bottom || left != right) {
        text += ':';
        text += cellAddress(bottom, right);
    }
    return text;
}

void MakePageImages(PageServices& services, RecordingLists& lists, const host::RangePtr& printRange,
                    const host::RangePtr& titleRows, const host::RangePtr& titleColumns, std::int32_t order) {
    HostState state(services.application);
    state.quiet();
    state.keepSelection();
    const host::WorksheetPtr sheet = printRange->Parent();
    state.showPageBreaks(*sheet);

    // The grid spans every area, so that each area of a range of several
    // gets its pages.
    const std::vector<host::RangePtr> areas = printRange->Areas();
    std::int32_t top = std::numeric_limits<std::int32_t>::max();
    std::int32_t left = top;
    std::int32_t bottom = 0;
    std::int32_t right = 0;
    for (const host::RangePtr& area : areas) {
        top = std::min(top, area->Row());
        left = std::min(left, area->Column());
        bottom = std::max(bottom, lastRowOf(*area));
        right = std::max(right, lastColumnOf(*area));
    }

    const bool columnsOutside = order == host::xlDownThenOver;
    const auto bands = [&](bool rows) {
        return rows ? Bands(sheet->HPageBreaks(), true, top, bottom) : Bands(sheet->VPageBreaks(), false, left, right);
    };
    const std::string_view outerFailure = columnsOutside ? texts::kPageBreaksV : texts::kPageBreaksH;
    const std::string_view innerFailure = columnsOutside ? texts::kHPageBreaks2 : texts::kPageBreaksV;

    PageMaker maker(services, lists, titleRows, titleColumns);
    Bands outer = bands(!columnsOutside);
    while (const std::optional<Band> o = outer.next()) {
        Bands inner = bands(columnsOutside);
        bool goOn = true;
        while (goOn) {
            const std::optional<Band> i = inner.next();
            if (!i) break;
            const Band& rowBand = columnsOutside ? *i : *o;
            const Band& columnBand = columnsOutside ? *o : *i;
            const host::RangePtr rectangle =
                sheet->Range(areaAddress(rowBand.first, columnBand.first, rowBand.last, columnBand.last));
            goOn = maker.pageRectangle(rectangle, areas);
        }
        if (inner.failed()) {
            lists.colErrors.push_back(texts::WithName(innerFailure, ""));
            return;
        }
        if (!goOn) return;
    }
    if (outer.failed()) lists.colErrors.push_back(texts::WithName(outerFailure, ""));
}

PageLayout layOutPage(const std::vector<PieceKind>& kinds, const std::vector<PixelSize>& sizes) {
    std::int32_t leftWidth = 0;
    std::int32_t topHeight = 0;
    std::int32_t rightWidth = 0;
    std::int32_t bottomHeight = 0;
    for (std::size_t i = 0; i < kinds.size(); ++i) {
        const PixelSize& s = sizes.at(i);
        const bool left = kinds[i] == PieceKind::corner || kinds[i] == PieceKind::titleColumns;
        const bool upper = kinds[i] == PieceKind::corner || kinds[i] == PieceKind::titleRows;
        std::int32_t& width = left ? leftWidth : rightWidth;
        std::int32_t& height = upper ? topHeight : bottomHeight;
        width = std::max(width, s.width);
        height = std::max(height, s.height);
    }
    PageLayout layout;
    layout.page = {leftWidth + rightWidth, topHeight + bottomHeight};
    for (std::size_t i = 0; i < kinds.size(); ++i) {
        const bool left = kinds[i] == PieceKind::corner || kinds[i] == PieceKind::titleColumns;
        const bool upper = kinds[i] == PieceKind::corner || kinds[i] == PieceKind::titleRows;
        layout.pieces.push_back({.picture = {},
                                 .left = left ? 0 : leftWidth,
                                 .top = upper ? 0 : topHeight,
                                 .width = sizes[i].width,
                                 .height = sizes[i].height,
                                 .background = kinds[i] != PieceKind::body});
    }
    return layout;
}

std::optional<std::vector<std::uint8_t>> CombinePagePieces(PageComposer& composer,
                                                           const std::vector<const PageEntry*>& pieces) {
    std::vector<PieceKind> kinds;
    std::vector<PixelSize> sizes;
    for (const PageEntry* piece : pieces) {
        const std::optional<PixelSize> size = composer.pieceSize(piece->picture);
        if (!size) return std::nullopt;
        kinds.push_back(piece->kind);
        sizes.push_back(*size);
    }
    PageLayout layout = layOutPage(kinds, sizes);
    for (std::size_t i = 0; i < pieces.size(); ++i) layout.pieces[i].picture = pieces[i]->picture;
    return composer.combine(layout.page, layout.pieces);
}

std::optional<HimetricFactors> himetricPerPixel(const DeviceMetrics& screen,
                                                const std::function<std::optional<DeviceMetrics>()>& printer) {
    DeviceMetrics used = screen;
    bool byPrinter = false;
    if (screen.horzSizeMm == 0 || screen.vertSizeMm == 0) {
        if (const std::optional<DeviceMetrics> fromPrinter = printer()) {
            used = *fromPrinter;
            byPrinter = true;
        }
    }
    if (used.horzSizeMm <= 0 || used.vertSizeMm <= 0 || used.horzRes <= 0 || used.vertRes <= 0) return std::nullopt;
    return HimetricFactors{.x = used.horzSizeMm * 100.0 / used.horzRes,
                           .y = used.vertSizeMm * 100.0 / used.vertRes,
                           .byPrinter = byPrinter};
}

}  // namespace kq::addin::recording
