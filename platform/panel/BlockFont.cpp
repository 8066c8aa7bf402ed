#include "platform/panel/BlockFont.h"

#include <algorithm>
#include <array>

namespace {

// Row kinds: 'S' a horizontal stroke, 'U'/'L' the fill above/below the middle stroke; column
// kinds: 'S' a vertical stroke, 'F' the fill between two strokes, 'f' the flag of a "1". The
// degree sign uses 's' (thin stroke) and 'h' (its hole) both ways. '#' marks ink.
struct Glyph {
  char32_t code;
  std::string_view columns;
  std::string_view rows;
  std::array<std::string_view, 5> ink;
};

constexpr std::string_view kDigitRows = "SUSLS";

constexpr std::array<Glyph, 14> kGlyphs{{
    {U'0', "SFS", kDigitRows, {"###", "#.#", "#.#", "#.#", "###"}},
    {U'1', "fS", kDigitRows, {"##", ".#", ".#", ".#", ".#"}},
    {U'2', "SFS", kDigitRows, {"###", "..#", "###", "#..", "###"}},
    {U'3', "SFS", kDigitRows, {"###", "..#", "###", "..#", "###"}},
    {U'4', "SFS", kDigitRows, {"#.#", "#.#", "###", "..#", "..#"}},
    {U'5', "SFS", kDigitRows, {"###", "#..", "###", "..#", "###"}},
    {U'6', "SFS", kDigitRows, {"###", "#..", "###", "#.#", "###"}},
    {U'7', "SFS", kDigitRows, {"###", "..#", "..#", "..#", "..#"}},
    {U'8', "SFS", kDigitRows, {"###", "#.#", "###", "#.#", "###"}},
    {U'9', "SFS", kDigitRows, {"###", "#.#", "###", "..#", "###"}},
    {U'-', "SFS", kDigitRows, {"...", "...", "###", "...", "..."}},
    {U'C', "SFS", kDigitRows, {"###", "#..", "#..", "#..", "###"}},
    {U'F', "SFS", kDigitRows, {"###", "#..", "##.", "#..", "#.."}},
    {U'\u00B0', "shs", "shs", {"###", "#.#", "###", "", ""}},
}};

const Glyph* findGlyph(char32_t code) {
  const auto found = std::find_if(kGlyphs.begin(), kGlyphs.end(),
                                  [code](const Glyph& glyph) { return glyph.code == code; });
  return found == kGlyphs.end() ? nullptr : &*found;
}

int thinStroke(const BlockMetrics& m) { return std::max(1, (m.rowStroke + 1) / 2); }
int hole(const BlockMetrics& m) { return std::max(1, m.rowStroke); }

int columnWidth(char kind, const BlockMetrics& m) {
  switch (kind) {
    case 'S':
      return m.columnStroke;
    case 'F':
      return std::max(1, m.digitWidth - 2 * m.columnStroke);
    case 'f':
      return std::max(1, (m.digitWidth - m.columnStroke) / 3);
    case 's':
      return thinStroke(m);
    default:
      return hole(m);
  }
}

int rowHeight(char kind, const BlockMetrics& m) {
  const int fill = std::max(0, m.height - 3 * m.rowStroke);
  switch (kind) {
    case 'S':
      return m.rowStroke;
    case 'U':
      return fill / 2;  // the upper half the smaller: the middle stroke sits high
    case 'L':
      return fill - fill / 2;
    case 's':
      return thinStroke(m);
    default:
      return hole(m);
  }
}

int glyphWidth(const Glyph& glyph, const BlockMetrics& m) {
  int width = 0;
  for (const char kind : glyph.columns) width += columnWidth(kind, m);
  return width;
}

void drawGlyph(IconCanvas& canvas, const Glyph& glyph, const BlockMetrics& m, int x, int y,
               std::uint32_t color) {
  int top = y;
  for (std::size_t row = 0; row < glyph.rows.size(); ++row) {
    const int height = rowHeight(glyph.rows[row], m);
    int left = x;
    for (std::size_t column = 0; column < glyph.columns.size(); ++column) {
      const int width = columnWidth(glyph.columns[column], m);
      if (glyph.ink[row][column] == '#') canvas.fillRect(left, top, width, height, color);
      left += width;
    }
    top += height;
  }
}

}  // namespace

bool hasBlockGlyph(char32_t code) { return findGlyph(code) != nullptr; }

BlockMetrics blockMetricsFor(int heightPx) {
  BlockMetrics m;
  m.height = std::max(5, heightPx);
  m.rowStroke = std::max(1, (m.height + 3) / 6);
  m.columnStroke = m.rowStroke;
  m.digitWidth = (m.height * 3 + 2) / 5;
  m.gap = std::max(1, m.height / 10);
  return m;
}

int blockTextWidth(std::u32string_view text, const BlockMetrics& metrics) {
  int width = 0;
  int glyphs = 0;
  for (const char32_t code : text) {
    const Glyph* glyph = findGlyph(code);
    if (glyph == nullptr) continue;
    width += glyphWidth(*glyph, metrics);
    ++glyphs;
  }
  return width + std::max(0, glyphs - 1) * metrics.gap;
}

void drawBlockText(IconCanvas& canvas, std::u32string_view text, const BlockMetrics& metrics, int x,
                   int y, std::uint32_t color) {
  for (const char32_t code : text) {
    const Glyph* glyph = findGlyph(code);
    if (glyph == nullptr) continue;
    drawGlyph(canvas, *glyph, metrics, x, y, color);
    x += glyphWidth(*glyph, metrics) + metrics.gap;
  }
}
