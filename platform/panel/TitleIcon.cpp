#include "platform/panel/TitleIcon.h"

#include <algorithm>
#include <cmath>
#include <optional>
#include <string>

#include "platform/panel/BlockFont.h"
#include "platform/panel/IconCanvas.h"

namespace {

constexpr int kSmallestSize = 8;
constexpr int kLargestSize = 256;
// More than any reading needs; they bound the work and the width a malformed title could ask for.
constexpr std::size_t kMostNumberGlyphs = 8;
constexpr std::size_t kMostUnitGlyphs = 3;
constexpr std::uint32_t kBadgeRgb = 0x25292Eu;
// The badge's rim: lighter, so that the badge stands out on a panel of its own dark grey.
constexpr std::uint32_t kRimRgb = 0x737B86u;
constexpr std::uint32_t kBadgeAlpha = 0xF0u;
constexpr std::uint32_t kInk = 0xFFFFFFFFu;

// The characters of `text` as code points; a malformed UTF-8 byte becomes U+FFFD.
std::u32string decodeUtf8(std::string_view text) {
  std::u32string decoded;
  for (std::size_t i = 0; i < text.size();) {
    const auto byte = static_cast<unsigned char>(text[i]);
    const std::size_t length = byte < 0x80 ? 1 : byte >= 0xF0 ? 4 : byte >= 0xE0 ? 3 : 2;
    if (byte >= 0x80 && (byte < 0xC2 || i + length > text.size())) {
      decoded.push_back(U'\uFFFD');
      ++i;
      continue;
    }
    char32_t code = length == 1 ? byte : byte & (0x3Fu >> (length - 1));
    for (std::size_t k = 1; k < length; ++k) {
      code = (code << 6) | (static_cast<unsigned char>(text[i + k]) & 0x3Fu);
    }
    decoded.push_back(code);
    i += length;
  }
  return decoded;
}

struct Title {
  std::u32string number;
  std::u32string unit;  // empty where the font cannot draw all of it
};

// " 45 °C" → {"45", "°C"}: the first word is the number, the rest the unit.
Title splitTitle(std::string_view text) {
  std::u32string title = decodeUtf8(text);
  const std::size_t start = title.find_first_not_of(U' ');
  if (start == std::u32string::npos) return {};
  title.erase(0, start);
  const std::size_t space = title.find(U' ');
  if (space == std::u32string::npos) return {title.substr(0, kMostNumberGlyphs), {}};
  const std::size_t unitStart = title.find_first_not_of(U' ', space);
  const std::size_t unitEnd = title.find_last_not_of(U' ');
  std::u32string unit;
  if (unitStart != std::u32string::npos) unit = title.substr(unitStart, unitEnd + 1 - unitStart);
  const bool drawable =
      unit.size() <= kMostUnitGlyphs && std::all_of(unit.begin(), unit.end(), hasBlockGlyph);
  return {title.substr(0, std::min(space, kMostNumberGlyphs)), drawable ? unit : std::u32string()};
}

struct Layout {
  BlockMetrics number;
  std::optional<BlockMetrics> unit;
  int width = 0;
};

Layout measure(const Title& title, const BlockMetrics& number, bool withUnit) {
  Layout layout{number, std::nullopt, blockTextWidth(title.number, number)};
  if (!withUnit) return layout;
  layout.unit = blockMetricsFor(number.height / 2);
  layout.width += number.gap + blockTextWidth(title.unit, *layout.unit);
  return layout;
}

// The largest drawing of the title between `minHeight` and `maxHeight` that is at most
// `maxWidth` wide: first as tall as possible, then with strokes as thick (half the usual at
// least, and `minStroke`), then as wide. A digit gets no narrower than 0.35 × its height.
std::optional<Layout> fit(const Title& title, bool withUnit, int minHeight, int maxHeight,
                          int maxWidth, int minStroke = 1) {
  for (int height = maxHeight; height >= minHeight; --height) {
    const BlockMetrics usual = blockMetricsFor(height);
    const int narrowest = std::max(3, (usual.height * 7 + 19) / 20);
    const int thinnest = std::max({1, usual.rowStroke / 2, minStroke});
    for (int stroke = usual.rowStroke; stroke >= thinnest; --stroke) {
      for (int width = usual.digitWidth; width >= narrowest; --width) {
        if (width - 2 * stroke < std::max(1, usual.rowStroke / 2)) break;
        BlockMetrics metrics = usual;
        metrics.digitWidth = width;
        // One stroke width both ways: glyphs thinned to fit keep even strokes.
        metrics.rowStroke = stroke;
        metrics.columnStroke = stroke;
        const Layout layout = measure(title, metrics, withUnit);
        if (layout.width <= maxWidth) return layout;
      }
    }
  }
  return std::nullopt;
}

// The number as large as it fits in `maxWidth`, and the unit beside it only where that costs the
// number little of its height and none of its strokes.
std::optional<Layout> layoutFor(const Title& parts, int minHeight, int maxHeight, int maxWidth) {
  std::optional<Layout> layout = fit(parts, false, minHeight, maxHeight, maxWidth);
  if (!layout || parts.unit.empty()) return layout;
  const int unitMinHeight = std::max(minHeight, (layout->number.height * 7 + 7) / 8);
  if (auto withUnit =
          fit(parts, true, unitMinHeight, maxHeight, maxWidth, layout->number.rowStroke))
    return withUnit;
  return layout;
}

// How much of pixel (x, y) a rounded rectangle covers, 0 to 1: the canvas inset by `inset` on
// every side, corners of `radius` (at least 1) smoothed.
double coverage(const IconCanvas& canvas, int x, int y, int inset, int radius) {
  const double near = inset + radius;
  const double cx = std::clamp(x + 0.5, near, canvas.width - near);
  const double cy = std::clamp(y + 0.5, near, canvas.height - near);
  const double outside = std::hypot(x + 0.5 - cx, y + 0.5 - cy) - radius + 0.5;
  return std::clamp(1.0 - outside, 0.0, 1.0);
}

// Straight alpha for the badge: a rounded rectangle over the whole icon, its corners smoothed,
// and its outermost `rim` pixels all round (the smoothed ones included) in the rim's colour.
void drawBadge(IconCanvas& canvas, int radius, int rim) {
  for (int y = 0; y < canvas.height; ++y) {
    for (int x = 0; x < canvas.width; ++x) {
      const auto alpha =
          static_cast<std::uint32_t>(std::lround(coverage(canvas, x, y, 0, radius) * kBadgeAlpha));
      const bool onRim = std::min({x, y, canvas.width - 1 - x, canvas.height - 1 - y}) < rim ||
                         coverage(canvas, x, y, rim - 1, std::max(1, radius - rim + 1)) < 1.0;
      canvas.at(x, y) = alpha == 0 ? 0u : (alpha << 24) | (onRim ? kRimRgb : kBadgeRgb);
    }
  }
}

}  // namespace

TitleIcon drawTitleIcon(std::string_view title, int sizePx) {
  const int size = std::clamp(sizePx, kSmallestSize, kLargestSize);
  const Title parts = splitTitle(title);
  const int rim = std::max(1, size / 22);
  const int maxHeight = size - 2 * std::max(1, size / 8);
  const int minHeight = std::min(maxHeight, (size * 3 + 4) / 5);  // 0.6 × size, rounded up
  const int margin = std::max(1, size / 16);
  std::optional<Layout> layout = layoutFor(parts, minHeight, maxHeight, size - 2 * margin);
  // Clear of the rim where that costs the title nothing but width.
  const int roomyMargin = std::max(rim + 1, margin);
  if (layout && roomyMargin > margin) {
    const auto roomy = layoutFor(parts, minHeight, maxHeight, size - 2 * roomyMargin);
    if (roomy && roomy->number.height == layout->number.height &&
        roomy->number.rowStroke == layout->number.rowStroke &&
        roomy->unit.has_value() == layout->unit.has_value())
      layout = roomy;
  }
  // Too long for a square at the smallest legible height: the icon grows wider instead.
  if (!layout) layout = measure(parts, blockMetricsFor(minHeight), false);

  IconCanvas canvas(std::max(size, layout->width + 2 * margin), size);
  drawBadge(canvas, std::max(2, size / 6), rim);
  const int x = (canvas.width - layout->width) / 2;
  const int y = (canvas.height - layout->number.height) / 2;
  drawBlockText(canvas, parts.number, layout->number, x, y, kInk);
  if (layout->unit) {
    const int unitX = x + blockTextWidth(parts.number, layout->number) + layout->number.gap;
    drawBlockText(canvas, parts.unit, *layout->unit, unitX, y, kInk);
  }
  return {canvas.width, canvas.height, std::move(canvas.argb)};
}
