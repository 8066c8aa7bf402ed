// Draws the title icon for a few titles at panel sizes on a dark and a light panel, into one
// PNG to look at (enlarge it, e.g. `convert sheet.png -scale 800% big.png`).
// Usage: title_icon_sheet OUT.png [SIZE...]

#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

#include "platform/panel/TitleIcon.h"
#include "tools/title-icon-sheet/PngFile.h"

namespace {

std::uint32_t blend(std::uint32_t over, std::uint32_t under) {
  const std::uint32_t alpha = over >> 24;
  std::uint32_t out = 0xFF000000u;
  for (int shift = 0; shift <= 16; shift += 8) {
    const std::uint32_t top = (over >> shift) & 0xFFu;
    const std::uint32_t bottom = (under >> shift) & 0xFFu;
    out |= ((top * alpha + bottom * (255u - alpha) + 127u) / 255u) << shift;
  }
  return out;
}

std::size_t indexOf(int x, int y, int width) {
  return static_cast<std::size_t>(y) * static_cast<std::size_t>(width) +
         static_cast<std::size_t>(x);
}

}  // namespace

int main(int argc, char** argv) {
  if (argc < 2) {
    std::fprintf(stderr, "usage: %s OUT.png [SIZE...]\n", argv[0]);
    return 2;
  }
  std::vector<int> sizes;
  for (int i = 2; i < argc; ++i) sizes.push_back(std::atoi(argv[i]));
  if (sizes.empty()) sizes = {16, 22, 24, 32, 48};
  const std::vector<std::string> titles{"45 °C",  "113 °F", "-0 °C", " 0 °C", "--",
                                        "-12 °C", "100 °F", "78 °C", "209 °F"};
  const std::uint32_t panels[] = {0xFF2E3436u, 0xFFF2F2F2u};
  const int cell = sizes.back() + 8;
  const int columns = static_cast<int>(titles.size());
  const int width = columns * cell * 2;
  const int height = static_cast<int>(sizes.size()) * cell;
  std::vector<std::uint32_t> sheet(static_cast<std::size_t>(width * height));
  for (int panel = 0; panel < 2; ++panel) {
    for (int row = 0; row < static_cast<int>(sizes.size()); ++row) {
      for (int column = 0; column < columns; ++column) {
        const int left = (panel * columns + column) * cell;
        const int top = row * cell;
        const TitleIcon icon = drawTitleIcon(titles[static_cast<std::size_t>(column)],
                                             sizes[static_cast<std::size_t>(row)]);
        for (int y = 0; y < cell; ++y) {
          for (int x = 0; x < cell; ++x) {
            std::uint32_t pixel = panels[panel];
            if (x >= 4 && y >= 4 && x - 4 < icon.width && y - 4 < icon.height) {
              pixel = blend(icon.argb[indexOf(x - 4, y - 4, icon.width)], pixel);
            }
            sheet[indexOf(left + x, top + y, width)] = pixel;
          }
        }
      }
    }
  }
  return writePng(argv[1], width, height, sheet) ? 0 : 1;
}
