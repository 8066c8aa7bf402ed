#pragma once
// A block font for small icons. Each glyph is a few strokes on a grid of stroke rows and columns
// (a whole number of pixels thick) and fill rows and columns (the space between strokes), so a
// glyph keeps sharp edges at any height and its parts can be made thinner where room is short.

#include <string>
#include <string_view>

#include "platform/panel/IconCanvas.h"

// The pixel measures of one drawing of the font.
struct BlockMetrics {
  int height = 0;        // of a digit, px
  int digitWidth = 0;    // of a full-width glyph such as "0", px
  int rowStroke = 0;     // thickness of horizontal strokes, px
  int columnStroke = 0;  // thickness of vertical strokes, px
  int gap = 0;           // between two glyphs, px
};

// The glyphs of the font, as code points: digits, '-', 'C', 'F' and the degree sign (U+00B0).
bool hasBlockGlyph(char32_t code);

// The usual measures for digits `heightPx` tall (at least 5).
BlockMetrics blockMetricsFor(int heightPx);

// Width of `text` in px, gaps included; glyphs the font lacks count as nothing.
int blockTextWidth(std::u32string_view text, const BlockMetrics& metrics);

// Draws `text` with its top left corner at (x, y) in `color`.
void drawBlockText(IconCanvas& canvas, std::u32string_view text, const BlockMetrics& metrics, int x,
                   int y, std::uint32_t color);
