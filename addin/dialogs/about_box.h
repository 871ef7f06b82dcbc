#pragma once
// The about box `frmAbout`, as what it shows: the caption after the title,
// the version as the history files write it, the build day and the maker's
// home page. The window is win32/about_box_win32.h; the design (in twips) is
// below.

#include <string>

#include "common/form_layout.h"

namespace kq::addin::dialogs {

struct AboutTexts {
    std::string caption;
    std::string version;
    std::string day;      // "2026/12/9"; the zero date 1899/12/30 when the day could not be read
    std::string url;
    friend bool operator==(const AboutTexts&, const AboutTexts&) = default;
};

// `version` as LibraryVersionText gives it; `builtDay` an OLE Automation date (0 for none).
AboutTexts AboutBoxTexts(const std::string& title, std::string version, double builtDay);

namespace about_design {
inline constexpr int kClientWidth = 4830;
inline constexpr int kClientHeight = 2505;
inline constexpr TwipsRect Label2{240, 240, 4350, 240};
inline constexpr TwipsRect Label4{360, 660, 960, 180};
inline constexpr TwipsRect lblVersion{1440, 660, 2000, 180};
inline constexpr TwipsRect Label5{360, 960, 960, 180};
inline constexpr TwipsRect lblDay{1440, 960, 2000, 180};
inline constexpr TwipsRect Picture1{240, 1320, 4350, 480};
// Within Picture1's inner area; the logo in its right end.
inline constexpr TwipsRect Label1{120, 120, 600, 180};
inline constexpr TwipsRect lblURL{840, 120, 2880, 180};
inline constexpr TwipsRect Image2{3840, 30, 360, 360};
inline constexpr TwipsRect cmdOK{3315, 1950, 1275, 375};
}  // namespace about_design

}  // namespace kq::addin::dialogs
