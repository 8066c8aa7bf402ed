#include "platform/panel/TitleIcon.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <set>
#include <string>

namespace {

bool inked(const TitleIcon& icon, int x, int y) {
  return icon.argb[static_cast<std::size_t>(y * icon.width + x)] == 0xFFFFFFFFu;
}

// The bounds of the digits' white pixels; top < 0 when there are none.
struct InkBox {
  int top = -1, bottom = -1, left = -1, right = -1;
};

InkBox inkOf(const TitleIcon& icon) {
  InkBox box;
  for (int x = 0; x < icon.width; ++x) {
    for (int y = 0; y < icon.height; ++y) {
      if (inked(icon, x, y))
        box = {box.top < 0 ? y : std::min(box.top, y), std::max(box.bottom, y),
               box.left < 0 ? x : box.left, x};
    }
  }
  return box;
}

// Every size a host may ask for (16 on GNOME, waybar and lxqt; 22 on xfce; 24 in XEmbed trays):
// digits at least 0.6 × the size tall (10 px at 16, 14 px at 22), up to three characters in a
// square from 16 px, the ink inside the badge. Below 16 px, or for four characters, the icon
// may grow wider, but not without bound, and never drops the minus sign.
TEST(TitleIcon, DigitsStayLegibleAtEverySize) {
  for (const std::string title : {"45 °C", "113 °F", "888 °F", "-40 °F", "-188 °F", "-0 °C", "--"}) {
    for (int size = 8; size <= 64; ++size) {
      SCOPED_TRACE(title + " at " + std::to_string(size));
      const TitleIcon icon = drawTitleIcon(title, size);
      const InkBox ink = inkOf(icon);
      EXPECT_EQ(icon.height, size);
      // Four characters may widen the icon at any size.
      EXPECT_LE(icon.width, title.find(' ') == 4 ? 3 * size : size >= 16 ? size : 2 * size);
      EXPECT_TRUE(ink.left > 0 && ink.top > 0 && ink.right < icon.width - 1 &&
                  ink.bottom < icon.height - 1);
      if (title == "--") continue;
      EXPECT_GE(ink.bottom - ink.top + 1, (size * 3 + 4) / 5);
      // A dash: the first inked column holds neither the top nor the bottom row of the ink.
      EXPECT_EQ(!inked(icon, ink.left, ink.top) && !inked(icon, ink.left, ink.bottom),
                title[0] == '-');
    }
  }
}

// Odd titles and sizes give a well-formed icon, never a crash or a huge allocation.
TEST(TitleIcon, OddTitlesAndSizesAreSafe) {
  const std::pair<std::string, int> cases[] = {
      {"", 16},        {"\xff\xc3", 16},   {"°", 16},         {"45 °", 48},
      {"45 °C", 7},    {"45 °C", 0},       {"45 °C", -3},     {"45 °C", 1 << 30},
      {"12345678901234567890 °C", 16},     {std::string(100000, '8'), 64},
      {"1 " + std::string(100000, 'C'), 64}};
  for (const auto& [title, size] : cases) {
    SCOPED_TRACE(title.substr(0, 30) + " at " + std::to_string(size));
    const TitleIcon icon = drawTitleIcon(title, size);
    ASSERT_TRUE(icon.height >= 8 && icon.height <= 256 && icon.width >= icon.height &&
                icon.width <= 4 * 256);
    ASSERT_EQ(icon.argb.size(), static_cast<std::size_t>(icon.width * icon.height));
    // Straight alpha: the badge's smoothed corners keep its rim's full colour, only less opaque.
    EXPECT_TRUE(std::all_of(icon.argb.begin(), icon.argb.end(), [](std::uint32_t pixel) {
      const std::uint32_t rgb = pixel & 0xFFFFFFu;
      return pixel == 0 || pixel >> 24 == 0xFF || rgb == 0x25292Eu || rgb == 0x737B86u;
    }));
  }
}

// At the sizes hosts draw (16 to 24 px, and 32 and 44 at scale 2) the digits sit on whole pixels:
// inside their box every pixel is ink or the badge's body, so a host that draws the pixmap at
// its own size shows no other colour there; and every stroke is as thick one way as the other.
TEST(TitleIcon, DigitsSitOnWholePixelsWithEvenStrokes) {
  for (const std::string title : {"45", "113", "-12", "209", "888", "100", "7"}) {
    for (const int size : {16, 22, 24, 32, 44}) {
      SCOPED_TRACE(title + " at " + std::to_string(size));
      const TitleIcon icon = drawTitleIcon(title, size);
      const InkBox ink = inkOf(icon);
      std::set<int> across, down;  // lengths of ink runs along rows and along columns
      for (int y = ink.top; y <= ink.bottom; ++y) {
        for (int x = ink.left; x <= ink.right; ++x) {
          const std::uint32_t pixel = icon.argb[static_cast<std::size_t>(y * icon.width + x)];
          ASSERT_TRUE(pixel == 0xFFFFFFFFu || pixel == 0xF025292Eu) << x << "," << y;
          if (inked(icon, x, y) && (x == ink.left || !inked(icon, x - 1, y))) {
            int end = x;
            while (end <= ink.right && inked(icon, end, y)) ++end;
            across.insert(end - x);
          }
          if (inked(icon, x, y) && (y == ink.top || !inked(icon, x, y - 1))) {
            int end = y;
            while (end <= ink.bottom && inked(icon, x, end)) ++end;
            down.insert(end - y);
          }
        }
      }
      EXPECT_EQ(*across.begin(), *down.begin());
    }
  }
}

}  // namespace
