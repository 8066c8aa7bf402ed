#pragma once
// The drawn title as an SVG image of its pixels, for hosts that load the item's icon by name and
// draw it at their size in device pixels: at a whole multiple of the drawing's size every edge
// still falls between two pixels, so the digits stay sharp.

#include <string>

#include "platform/panel/TitleIcon.h"

// One path per colour, each pixel a unit square; the badge's own colour also runs under the
// opaque pixels, so that no seam between the two shows at other scales.
std::string svgOf(const TitleIcon& icon);
