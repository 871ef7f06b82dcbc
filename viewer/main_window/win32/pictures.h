#pragma once
// The viewer's pictures, from the program's resources: the image lists its
// windows take their pictures from, found by the keys the windows name them
// by, the magnifier's lens and the program icon.

#include "common/win32/windows_api.h"

#include <commctrl.h>

#include <string_view>
#include <utility>

#include "common/win32/handles.h"
#include "common/win32/module.h"
#include "viewer_pictures.h"

namespace kq::viewer::win32 {

// An image list and the keys of its pictures.
class PictureList {
public:
    PictureList(kq::win32::ImageList list, const pictures::ListSpec& spec) : list_(std::move(list)), spec_(&spec) {}

    HIMAGELIST handle() const { return list_.get(); }
    // The position of the picture of that key (exact letter case); -1 when the list has none.
    int index(std::string_view key) const;
    int width() const { return spec_->width; }
    int height() const { return spec_->height; }

private:
    kq::win32::ImageList list_;
    const pictures::ListSpec* spec_;
};

// The list of `spec` from `module`'s bitmap resource, the mask colour
// transparent. A resource that is missing or not of the size the table gives
// means a broken program: std::runtime_error.
PictureList loadPictureList(const pictures::ListSpec& spec, HMODULE module = kq::win32::thisModule());

// Every image list of the viewer, by the names its windows give them.
struct ViewerPictures {
    PictureList imlMain;    // the main toolbar: groupings and layouts
    PictureList imlButton;  // the search button
    PictureList imlNo0;     // the page buttons, enabled
    PictureList imlNo1;     // the page buttons, disabled
    PictureList imlList;    // the file list's row and heading marks
    PictureList imlIcon;    // a card's workbook and sheet
    PictureList imgShadow;  // the page's shadow tiles
    PictureList imgLeftVertical;    // the grip of a vertical splitter
    PictureList imgLeftHorizontal;  // the grip of the horizontal splitter
};
ViewerPictures loadViewerPictures(HMODULE module = kq::win32::thisModule());

// The magnifier's lens as a 24-bit bitmap; std::runtime_error as above.
kq::win32::Bitmap loadLens(HMODULE module = kq::win32::thisModule());

// The program icon at `size` x `size` pixels; empty when the system cannot make it.
kq::win32::Icon loadProgramIcon(int size, HMODULE module = kq::win32::thisModule());

}  // namespace kq::viewer::win32
