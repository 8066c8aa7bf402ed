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

// How narrow a digit may get: 0.4 × its height, or 0.35 before the icon grows wider instead.
enum class Squeeze { normal, condensed };

// The largest drawing of the title between `minHeight` and `maxHeight` that is at most
// `maxWidth` wide: first as tall as possible, then with strokes as thick, then as wide.
std::optional<Layout> fit(const Title& title, bool withUnit, Squeeze squeeze, int minHeight,
                          int maxHeight, int maxWidth) {
  for (int height = maxHeight; height >= minHeight; --height) {
    const BlockMetrics usual = blockMetricsFor(height);
    const int twentieths = squeeze == Squeeze::normal ? 8 : 7;
    const int narrowest = std::max(3, (usual.height * twentieths + 19) / 20);
    for (int stroke = usual.rowStroke; stroke >= std::max(1, usual.rowStroke / 2); --stroke) {
      for (int width = usual.digitWidth; width >= narrowest; --width) {
        if (width - 2 * stroke < std::max(1, usual.rowStroke / 2)) break;
        BlockMetrics metrics = usual;
        metrics.digitWidth = width;
        metrics.columnStroke = stroke;
        const Layout layout = measure(title, metrics, withUnit);
        if (layout.width <= maxWidth) return layout;
      }
    }
  }
  return std::nullopt;
}

// Straight alpha for the badge: a rounded rectangle over the whole icon, its corners smoothed.
void drawBadge(IconCanvas& canvas, int radius) {
  for (int y = 0; y < canvas.height; ++y) {
    for (int x = 0; x < canvas.width; ++x) {
      const double cx = std::clamp(x + 0.5, 1.0 * radius, 1.0 * (canvas.width - radius));
      const double cy = std::clamp(y + 0.5, 1.0 * radius, 1.0 * (canvas.height - radius));
      const double outside = std::hypot(x + 0.5 - cx, y + 0.5 - cy) - radius + 0.5;
      const double cover = std::clamp(1.0 - outside, 0.0, 1.0);
      const auto alpha = static_cast<std::uint32_t>(std::lround(cover * kBadgeAlpha));
      canvas.at(x, y) = alpha == 0 ? 0u : (alpha << 24) | kBadgeRgb;
    }
  }
}

}  // namespace

TitleIcon drawTitleIcon(std::string_view title, int sizePx) {
  const int size = std::clamp(sizePx, kSmallestSize, kLargestSize);
  const Title parts = splitTitle(title);
  const int margin = std::max(1, size / 16);
  const int maxHeight = size - 2 * std::max(1, size / 8);
  const int minHeight = std::min(maxHeight, (size * 3 + 4) / 5);  // 0.6 × size, rounded up

  const int maxWidth = size - 2 * margin;
  std::optional<Layout> layout = fit(parts, false, Squeeze::normal, minHeight, maxHeight, maxWidth);
  if (!layout) layout = fit(parts, false, Squeeze::condensed, minHeight, maxHeight, maxWidth);
  // The unit goes beside the number only where that costs the number little of its height.
  if (layout && !parts.unit.empty()) {
    const int unitMinHeight = std::max(minHeight, (layout->number.height * 7 + 7) / 8);
    if (auto withUnit = fit(parts, true, Squeeze::normal, unitMinHeight, maxHeight, maxWidth))
      layout = withUnit;
  }
  // Too long for a square at the smallest legible height: the icon grows wider instead.
  if (!layout) layout = measure(parts, blockMetricsFor(minHeight), false);

  IconCanvas canvas(std::max(size, layout->width + 2 * margin), size);
  drawBadge(canvas, std::max(2, size / 6));
  const int x = (canvas.width - layout->width) / 2;
  const int y = (canvas.height - layout->number.height) / 2;
  drawBlockText(canvas, parts.number, layout->number, x, y, kInk);
  if (layout->unit) {
    const int unitX = x + blockTextWidth(parts.number, layout->number) + layout->number.gap;
    drawBlockText(canvas, parts.unit, *layout->unit, unitX, y, kInk);
  }
  return {canvas.width, canvas.height, std::move(canvas.argb)};
}
