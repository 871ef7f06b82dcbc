#pragma once
// The system clipboard as the simulated host copies to it: a range's picture
// as an enhanced metafile (CF_ENHMETAFILE) and its text as CF_UNICODETEXT, from
// which the system makes CF_TEXT in the ANSI code page for readers that ask;
// a button's face as a bitmap (CF_BITMAP), and a bitmap back as a face.

#include "common/win32/handles.h"
#include "common/win32/windows_api.h"
#include "host/sim/sim_clipboard.h"
#include "host/sim/sim_command_bars.h"

namespace kq::host::sim::win32 {

// The drawing at its size: the frame is the range's size (1 point is 2540/72
// hundredths of a millimetre), recorded against the screen; grid lines, and
// the cells' texts in "MS UI Gothic" 9 points with the Japanese character set.
// Throws HostError 1004 when GDI fails.
kq::win32::EnhMetafile drawEnhMetafile(const RangeDrawing& drawing);

// Owns a hidden window that owns what it puts on the clipboard; use it on the
// thread that made it. A clipboard that another program keeps open is tried
// again for a short while before the copy fails (HostError 1004).
class Win32SimClipboard final : public SimClipboard, public FaceClipboard {
public:
    Win32SimClipboard();

    void putPicture(const RangeDrawing& drawing) override;
    void putText(const std::string& text) override;
    void putFace(const ButtonFace& face) override;
    // A bitmap of another size is scaled to the face's, as the host fits a
    // pasted picture; one larger than kLargestPicture pixels a side is no face.
    std::optional<ButtonFace> takeFace() override;

    static constexpr int kLargestPicture = 1024;

private:
    kq::win32::OwnedWindow owner_;
};

}  // namespace kq::host::sim::win32
