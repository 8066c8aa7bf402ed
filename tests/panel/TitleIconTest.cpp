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

// How many pixels from (x, y) on are inked, a step of (dx, dy) at a time; the ink stops inside the
// icon.
int runOf(const TitleIcon& icon, int x, int y, int dx, int dy) {
  int length = 0;
  while (inked(icon, x + length * dx, y + length * dy)) ++length;
  return length;
}

// At every size the program draws (16 on GNOME, waybar and lxqt; 22 on xfce; 24 in XEmbed trays;
// 32 and 44 at scale 2; 48 in a tray at GTK's dialog size): digits at least 0.6 × the size tall
// (10 px at 16, 14 px at 22), up to three characters in a square, the ink inside the badge;
// four characters may widen the icon, but not without bound, and never drop the minus sign.
// The digits sit on whole pixels: inside their box every pixel is ink or the badge's body, so a
// host that draws the pixmap at its own size shows no other colour there; and every stroke is as
// thick one way as the other. (Other sizes: the odd sizes below.)
TEST(TitleIcon, DigitsStayLegibleAndSharpAtTheSizesHostsDraw) {
  for (const std::string title : {"45 °C", "113 °F", "888 °F", "-40 °F", "-188 °F", "-0 °C", "--",
                                  "209 °C", "100 °C", "7 °C", "-12 °C"}) {
    for (const int size : {16, 22, 24, 32, 44, 48}) {
      SCOPED_TRACE(title + " at " + std::to_string(size));
      const TitleIcon icon = drawTitleIcon(title, size);
      const InkBox ink = inkOf(icon);
      EXPECT_EQ(icon.height, size);
      EXPECT_LE(icon.width, title.find(' ') == 4 ? 3 * size : size);
      ASSERT_TRUE(ink.left > 0 && ink.top > 0 && ink.right < icon.width - 1 &&
                  ink.bottom < icon.height - 1);
      std::set<int> across, down;  // lengths of ink runs along rows and along columns
      for (int y = ink.top; y <= ink.bottom; ++y) {
        for (int x = ink.left; x <= ink.right; ++x) {
          const std::uint32_t pixel = icon.argb[static_cast<std::size_t>(y * icon.width + x)];
          ASSERT_TRUE(pixel == 0xFFFFFFFFu || pixel == 0xF025292Eu) << x << "," << y;
          if (inked(icon, x, y) && !inked(icon, x - 1, y)) across.insert(runOf(icon, x, y, 1, 0));
          if (inked(icon, x, y) && !inked(icon, x, y - 1)) down.insert(runOf(icon, x, y, 0, 1));
        }
      }
      if (title == "--") continue;  // no upright stroke to compare
      EXPECT_EQ(*across.begin(), *down.begin());
      EXPECT_GE(ink.bottom - ink.top + 1, (size * 3 + 4) / 5);
      // A dash: the first inked column holds neither the top nor the bottom row of the ink.
      EXPECT_EQ(!inked(icon, ink.left, ink.top) && !inked(icon, ink.left, ink.bottom),
                title[0] == '-');
    }
  }
}

// Odd titles and sizes give a well-formed icon, never a crash or a huge allocation.
TEST(TitleIcon, OddTitlesAndSizesAreSafe) {
  const std::string longNumber(100000, '8'), longUnit = "1 " + std::string(100000, 'C');
  const std::pair<std::string, int> cases[] = {
      {"", 16},         {"\xff\xc3", 16},   {"°", 16},
      {"45 °", 48},     {"45 °C", 7},       {"45 °C", 0},
      {"45 °C", -3},    {"45 °C", 1 << 30}, {"12345678901234567890 °C", 16},
      {longNumber, 64}, {longUnit, 64}};
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

}  // namespace
