#pragma once
// The loupe over the page view: how much it enlarges, which part of the page
// it shows and where that part lands on it. Lengths are twips; the page's
// are natural (as the page was printed), the loupe's its own.

#include <optional>

#include "viewer/main_window/geometry.h"

namespace kq::viewer {

// The loupe is round and as large as its lens picture was designed.
inline constexpr double kLoupeSide = 3525;
// The line around the part of the page the loupe shows.
inline constexpr Colour kLoupeEdgeColour{200, 200, 200};
// How strongly the lens picture covers what the loupe shows (of 255).
inline constexpr int kLensOpacity = 100;

// The page's enlargement over its natural size at the view's scale: twice
// the view's, but never below the natural size.
double loupeFactor(double viewScale);

// A press on the view opens the loupe only over a page drawn at a scale:
// before any page is drawn the scale is 0 and there is nothing to enlarge.
bool loupeOpens(bool pageShown, double viewScale);

// The part of the page the loupe copies, and where it goes on the loupe.
struct LoupePart {
    Rect source;       // on the page, natural twips, within the page
    Rect destination;  // on the loupe
    friend bool operator==(const LoupePart&, const LoupePart&) = default;
};

// With the pointer at (x, y), twips of the view from the page's top-left
// corner, the loupe of `loupeWidth` x `loupeHeight` centred on it shows the
// page of natural size `pageWidth` x `pageHeight`, cut to what lies on the
// page. None when nothing of the page lies under the loupe, or the scale is
// none (the loupe then shows its lens alone).
std::optional<LoupePart> loupePart(double x, double y, double viewScale, double loupeWidth, double loupeHeight,
                                   double pageWidth, double pageHeight);

}  // namespace kq::viewer
