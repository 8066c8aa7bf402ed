#pragma once
// The title drawn as an icon for panels that show no label. A plain stand-in until the real
// renderer joins this folder under the same names.

#include <cstdint>
#include <string_view>
#include <vector>

struct TitleIcon {
  int width = 0;
  int height = 0;
  std::vector<std::uint32_t> argb;
};

// Draws `title` (e.g. "45 °C", "113 °F", "--") for a panel that shows icons `sizePx` tall;
// argb: straight (non-premultiplied) 0xAARRGGBB per pixel, row by row.
TitleIcon drawTitleIcon(std::string_view title, int sizePx);
