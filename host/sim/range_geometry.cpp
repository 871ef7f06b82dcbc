#include "host/sim/range_geometry.h"

#include <algorithm>

namespace kq::host::sim {
namespace {

bool touchOrOverlap(std::int32_t aFirst, std::int32_t aLast, std::int32_t bFirst, std::int32_t bLast) {
    return aFirst <= bLast + 1 && bFirst <= aLast + 1;
}

bool formOneRectangle(const CellRect& a, const CellRect& b) {
    if (contains(a, b) || contains(b, a)) return true;
    if (a.left == b.left && a.right == b.right) return touchOrOverlap(a.top, a.bottom, b.top, b.bottom);
    if (a.top == b.top && a.bottom == b.bottom) return touchOrOverlap(a.left, a.right, b.left, b.right);
    return false;
}

CellRect boundingBox(const CellRect& a, const CellRect& b) {
    return {std::min(a.top, b.top), std::min(a.left, b.left), std::max(a.bottom, b.bottom), std::max(a.right, b.right)};
}

// The span [first, last] along the edit's axis after the edit, or empty.
std::optional<std::pair<std::int32_t, std::int32_t>> movedSpan(std::int32_t first, std::int32_t last,
                                                               const StructuralEdit& edit, std::int32_t max) {
    if (first == 1 && last == max) return std::pair{first, last};
    if (edit.insert) {
        if (last < edit.first) return std::pair{first, last};
        if (first >= edit.first) {
            if (first > max - edit.count) return std::nullopt;
            return std::pair{first + edit.count, std::min(last, max - edit.count) + edit.count};
        }
        return std::pair{first, std::min(last, max - edit.count) + edit.count};
    }
    const std::int32_t deletedLast = std::min(edit.first + edit.count - 1, max);
    const std::int32_t deleted = deletedLast - edit.first + 1;
    if (last < edit.first) return std::pair{first, last};
    if (first > deletedLast) return std::pair{first - deleted, last - deleted};
    if (first >= edit.first && last <= deletedLast) return std::nullopt;
    return std::pair{first < edit.first ? first : edit.first, last > deletedLast ? last - deleted : edit.first - 1};
}

}  // namespace

std::optional<CellRect> intersect(const CellRect& a, const CellRect& b) {
    const CellRect r{std::max(a.top, b.top), std::max(a.left, b.left), std::min(a.bottom, b.bottom),
                     std::min(a.right, b.right)};
    if (r.top > r.bottom || r.left > r.right) return std::nullopt;
    return r;
}

bool contains(const CellRect& outer, const CellRect& inner) {
    return outer.top <= inner.top && outer.left <= inner.left && outer.bottom >= inner.bottom &&
           outer.right >= inner.right;
}

std::vector<CellRect> mergeAreas(std::vector<CellRect> areas) {
    bool merged = true;
    while (merged) {
        merged = false;
        for (std::size_t i = 0; i < areas.size() && !merged; ++i) {
            for (std::size_t j = i + 1; j < areas.size(); ++j) {
                if (formOneRectangle(areas[i], areas[j])) {
                    areas[i] = boundingBox(areas[i], areas[j]);
                    areas.erase(areas.begin() + static_cast<std::ptrdiff_t>(j));
                    merged = true;
                    break;
                }
            }
        }
    }
    return areas;
}

std::vector<CellRect> intersectAreas(const std::vector<CellRect>& a, const std::vector<CellRect>& b) {
    std::vector<CellRect> overlaps;
    for (const CellRect& x : a) {
        for (const CellRect& y : b) {
            if (const auto r = intersect(x, y)) overlaps.push_back(*r);
        }
    }
    return overlaps;
}

std::optional<std::int32_t> movedIndex(std::int32_t index, const StructuralEdit& edit, GridSize grid) {
    const std::int32_t max = edit.axis == StructuralEdit::Axis::rows ? grid.rows : grid.columns;
    if (index < edit.first) return index;
    if (edit.insert) {
        if (index > max - edit.count) return std::nullopt;
        return index + edit.count;
    }
    if (index - edit.first < edit.count) return std::nullopt;
    return index - edit.count;
}

std::optional<CellRect> movedRect(const CellRect& rect, const StructuralEdit& edit, GridSize grid) {
    CellRect moved = rect;
    if (edit.axis == StructuralEdit::Axis::rows) {
        const auto span = movedSpan(rect.top, rect.bottom, edit, grid.rows);
        if (!span) return std::nullopt;
        moved.top = span->first;
        moved.bottom = span->second;
    } else {
        const auto span = movedSpan(rect.left, rect.right, edit, grid.columns);
        if (!span) return std::nullopt;
        moved.left = span->first;
        moved.right = span->second;
    }
    return moved;
}

std::vector<CellRect> movedAreas(const std::vector<CellRect>& areas, const StructuralEdit& edit, GridSize grid) {
    std::vector<CellRect> moved;
    for (const CellRect& area : areas) {
        if (const auto r = movedRect(area, edit, grid)) moved.push_back(*r);
    }
    return moved;
}

std::vector<CellRect> EditLog::catchUp(std::vector<CellRect> areas, std::size_t seen) const {
    for (std::size_t i = seen; i < edits_.size() && !areas.empty(); ++i) areas = movedAreas(areas, edits_[i], grid_);
    return areas;
}

}  // namespace kq::host::sim
