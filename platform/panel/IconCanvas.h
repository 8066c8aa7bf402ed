#pragma once
// A straight-alpha ARGB pixel buffer with the two operations the title icon needs.

#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <vector>

struct IconCanvas {
  int width = 0;
  int height = 0;
  std::vector<std::uint32_t> argb;

  IconCanvas(int widthPx, int heightPx)
      : width(widthPx),
        height(heightPx),
        argb(static_cast<std::size_t>(widthPx) * static_cast<std::size_t>(heightPx), 0u) {}

  std::uint32_t& at(int x, int y) {
    return argb[static_cast<std::size_t>(y) * static_cast<std::size_t>(width) +
                static_cast<std::size_t>(x)];
  }

  // Fills the rectangle, clipped to the canvas, with an opaque or translucent colour.
  void fillRect(int x, int y, int w, int h, std::uint32_t color) {
    const int left = std::max(x, 0);
    const int top = std::max(y, 0);
    const int right = std::min(x + w, width);
    const int bottom = std::min(y + h, height);
    for (int row = top; row < bottom; ++row) {
      for (int column = left; column < right; ++column) at(column, row) = color;
    }
  }
};
