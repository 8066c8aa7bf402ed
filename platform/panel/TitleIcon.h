#pragma once
// The status item's title drawn as a small icon, for panels that show no label: light digits on
// a dark rounded badge with a lighter rim, which reads on light panels, on dark ones and on one
// of the badge's own grey. Drawn with our own block font
// for the exact size the panel shows, on whole pixels, so nothing is scaled down and no font
// files are loaded.

#include <cstdint>
#include <string_view>
#include <vector>

struct TitleIcon {
  int width = 0;
  int height = 0;
  std::vector<std::uint32_t> argb;
};

// Draws `title` (e.g. "45 °C", "113 °F", "-0 °C", " 0 °C", "--") for a panel that shows icons
// `sizePx` tall; argb: straight (non-premultiplied) 0xAARRGGBB per pixel, row by row.
// The part before the first inner space is the number, drawn with its minus sign; the unit after
// it is drawn only where it fits beside digits at least 0.6 × sizePx tall. The icon is sizePx
// square unless the number cannot fit at that height, then wider. Sizes are clamped to
// [8, 256]; characters the font lacks are left out, and so are those of a number longer than
// eight characters.
TitleIcon drawTitleIcon(std::string_view title, int sizePx);
