#include "viewer/page_view/magnifier.h"

#include <cmath>

namespace kq::viewer {

namespace {

// One axis of the copy: the source from `start` for `length`, its image
// on the loupe from `to` for `extent`; cut to [0, pageLength).
struct Span {
    double start, length, to, extent;
};

Span clip(Span s, double factor, double pageLength) {
    if (s.start < 0) {
        s.length += s.start;
        s.to = -s.start * factor;
        s.extent += s.start * factor;
        s.start = 0;
    }
    if (s.start + s.length > pageLength) {
        s.length = pageLength - s.start;
        s.extent = s.length * factor;
    }
    return s;
}

}  // namespace

double loupeFactor(double viewScale) { return viewScale > 0.5 ? viewScale * 2 : 1; }

bool loupeOpens(bool pageShown, double viewScale) { return pageShown && std::isfinite(viewScale) && viewScale > 0; }

std::optional<LoupePart> loupePart(double x, double y, double viewScale, double loupeWidth, double loupeHeight,
                                   double pageWidth, double pageHeight) {
    if (!std::isfinite(viewScale) || viewScale <= 0) return std::nullopt;
    const double f = loupeFactor(viewScale);
    const Span across{x / viewScale - loupeWidth / 2 / f, loupeWidth / f, 0, loupeWidth};
    const Span down{y / viewScale - loupeHeight / 2 / f, loupeHeight / f, 0, loupeHeight};
    // Only a part with an area is copied: a loupe that just touches the
    // page's edge shows no line of it.
    const bool overlaps = across.start + across.length > 0 && across.start < pageWidth &&
                          down.start + down.length > 0 && down.start < pageHeight;
    if (!overlaps) return std::nullopt;
    const Span h = clip(across, f, pageWidth);
    const Span v = clip(down, f, pageHeight);
    return LoupePart{{h.start, v.start, h.length, v.length}, {h.to, v.to, h.extent, v.extent}};
}

}  // namespace kq::viewer
