#pragma once
// Arithmetic on areas of cells: overlap, the host's merging of areas in Union,
// and how areas and positions move when whole rows or columns are inserted or
// deleted.

#include <cstddef>
#include <cstdint>
#include <optional>
#include <vector>

#include "host/sim/a1_address.h"

namespace kq::host::sim {

std::optional<CellRect> intersect(const CellRect& a, const CellRect& b);
bool contains(const CellRect& outer, const CellRect& inner);

// The areas of a union: two areas that together form one rectangle (one holds
// the other, or they have the same columns and touch or overlap vertically, or
// the same rows and touch or overlap horizontally) become that rectangle, in
// the place of the earlier one, until no two merge; the rest keep their order.
std::vector<CellRect> mergeAreas(std::vector<CellRect> areas);

// The overlaps of every area of `a` with every area of `b`, in the order of `a`'s
// areas and then `b`'s.
std::vector<CellRect> intersectAreas(const std::vector<CellRect>& a, const std::vector<CellRect>& b);

// Whole rows or columns inserted before `first`, or deleted from `first` on.
struct StructuralEdit {
    enum class Axis { rows, columns };
    Axis axis = Axis::rows;
    bool insert = true;
    std::int32_t first = 1;
    std::int32_t count = 1;
};

// Where a row (or column, by the edit's axis) ends up; empty when it was
// deleted or pushed off the grid. Positions along the other axis never move.
std::optional<std::int32_t> movedIndex(std::int32_t index, const StructuralEdit& edit, GridSize grid);

// The rectangle an area becomes: inserts inside it widen it, deletes cut it,
// areas past the edit shift; whole columns stay whole columns under row edits
// (and whole rows under column edits). Empty when all its cells were deleted.
std::optional<CellRect> movedRect(const CellRect& rect, const StructuralEdit& edit, GridSize grid);
// The areas that survive, moved.
std::vector<CellRect> movedAreas(const std::vector<CellRect>& areas, const StructuralEdit& edit, GridSize grid);

// The structural edits made to one sheet, in order. Objects that refer to
// cells and are made outside the sheet (ranges) remember how many edits they
// have seen and catch up when read.
class EditLog {
public:
    explicit EditLog(GridSize grid) : grid_(grid) {}
    void record(const StructuralEdit& edit) { edits_.push_back(edit); }
    std::size_t size() const { return edits_.size(); }
    GridSize grid() const { return grid_; }
    // The areas as they are now, given the edits they had seen.
    std::vector<CellRect> catchUp(std::vector<CellRect> areas, std::size_t seen) const;

private:
    GridSize grid_;
    std::vector<StructuralEdit> edits_;
};

}  // namespace kq::host::sim
