#pragma once
// The texts of the shapes and cell comments that lie in the printed area of
// the sheet being recorded. Nothing here is reported: a shape or comment
// whose data can't be read is left out.

#include <string>

#include "addin/recording/recorder_lists.h"
#include "host/host.h"

namespace kq::addin::recording {

// Adds the shape's text to lists.colShapes when the shape is visible, lies in
// the printed area and has a text; a group adds each of its members instead,
// with the group's cells. The driver passes a top-level shape with
// `isGroupItem` false and empty addresses.
void CollectShapeText(host::Application& application, RecordingLists& lists, const host::ShapePtr& shape,
                      const host::RangePtr& printRange, const host::RangePtr& titleRows,
                      const host::RangePtr& titleColumns, bool isGroupItem, const std::string& topLeft,
                      const std::string& bottomRight);

// Adds the comment to lists.colComments when its cell lies in the printed
// area and it has a text.
void CollectCommentText(host::Application& application, RecordingLists& lists, const host::CommentPtr& comment,
                        const host::RangePtr& printRange, const host::RangePtr& titleRows,
                        const host::RangePtr& titleColumns);

// Whether the cells from `topLeft` to `bottomRight` on the print range's sheet
// share a cell with the print range or the print titles.
bool IsInPrintArea(host::Application& application, const host::RangePtr& printRange, const host::RangePtr& titleRows,
                   const host::RangePtr& titleColumns, const std::string& topLeft, const std::string& bottomRight);

}  // namespace kq::addin::recording
