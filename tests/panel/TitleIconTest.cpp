#include "platform/panel/TitleIcon.h"

#include <gtest/gtest.h>

#include <string>
#include <string_view>

namespace {

constexpr std::uint32_t kInk = 0xFFFFFFFFu;

struct InkBox {
  int top = -1, bottom = -1, left = -1, right = -1;
  int height() const { return top < 0 ? 0 : bottom - top + 1; }
};

std::uint32_t pixelAt(const TitleIcon& icon, int x, int y) {
  return icon.argb[static_cast<std::size_t>(y) * static_cast<std::size_t>(icon.width) +
                   static_cast<std::size_t>(x)];
}

InkBox inkOf(const TitleIcon& icon) {
  InkBox box;
  for (int x = 0; x < icon.width; ++x) {
    for (int y = 0; y < icon.height; ++y) {
      if (pixelAt(icon, x, y) != kInk) continue;
      if (box.top < 0 || y < box.top) box.top = y;
      box.bottom = std::max(box.bottom, y);
      if (box.left < 0) box.left = x;
      box.right = x;
    }
  }
  return box;
}

// Whether the first inked column holds neither the top nor the bottom row of the ink: a dash.
bool startsWithDash(const TitleIcon& icon) {
  const InkBox ink = inkOf(icon);
  const auto inked = [&](int y) { return pixelAt(icon, ink.left, y) == kInk; };
  return ink.left >= 0 && !inked(ink.top) && !inked(ink.bottom);
}

void expectWellFormed(const TitleIcon& icon) {
  ASSERT_EQ(icon.argb.size(),
            static_cast<std::size_t>(icon.width) * static_cast<std::size_t>(icon.height));
  EXPECT_GE(icon.height, 8);
  EXPECT_GE(icon.width, icon.height);
}

// Every size a host may ask for (16 on GNOME, waybar and lxqt; 22 on xfce; 24 in XEmbed trays):
// digits at least 0.6 × the size tall (10 px at 16, 14 px at 22), two and three of them and a
// minus sign in a square from 16 px, with the ink inside the badge so that it reads on any panel.
// Below 16 px the icon may grow wider, but not without bound.
TEST(TitleIcon, DigitsStayLegibleAtEverySize) {
  for (const char* title : {"45 °C", "113 °F", "888 °F", "-40 °F", "--"}) {
    for (int size = 8; size <= 64; ++size) {
      SCOPED_TRACE(std::string(title) + " at " + std::to_string(size));
      const TitleIcon icon = drawTitleIcon(title, size);
      const InkBox ink = inkOf(icon);
      EXPECT_EQ(icon.height, size);
      EXPECT_LE(icon.width, size >= 16 ? size : 2 * size);
      if (std::string_view(title) != "--") {
        EXPECT_GE(ink.height(), (size * 3 + 4) / 5);
      }
      EXPECT_GT(ink.left, 0);
      EXPECT_GT(ink.top, 0);
      EXPECT_LT(ink.right, icon.width - 1);
      EXPECT_LT(ink.bottom, icon.height - 1);
    }
  }
}

// A minus sign is never dropped to make room, even where the icon must grow wider for it.
TEST(TitleIcon, MinusSignIsKept) {
  for (const char* digits : {"0 °C", "12 °C", "188 °F"}) {
    for (int size : {16, 22, 24, 48}) {
      SCOPED_TRACE(std::string(digits) + " at " + std::to_string(size));
      EXPECT_FALSE(startsWithDash(drawTitleIcon(std::string(" ") + digits, size)));
      EXPECT_TRUE(startsWithDash(drawTitleIcon(std::string("-") + digits, size)));
    }
  }
}

// Odd titles and sizes give a well-formed icon, never a crash or a huge allocation.
TEST(TitleIcon, OddTitlesAndSizesAreSafe) {
  const std::string endless(100000, '8');
  const std::string endlessUnit = "1 " + std::string(100000, 'C');
  const struct {
    const char* title;
    int size;
  } cases[] = {
      {"", 16},
      {"   ", 22},
      {"abc", 24},
      {"\xff\xc3", 16},
      {"°", 16},
      {"45 °", 48},
      {"45 °C ", 64},
      {"45 °C", 8},
      {"45 °C", 7},
      {"45 °C", 0},
      {"45 °C", -3},
      {"45 °C", 1 << 30},
      {"12345678901234567890 °C", 16},
      {endless.c_str(), 64},
      {endlessUnit.c_str(), 64},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(std::string(c.title) + " at " + std::to_string(c.size));
    const TitleIcon icon = drawTitleIcon(c.title, c.size);
    expectWellFormed(icon);
    EXPECT_LE(icon.height, 256);
    EXPECT_LE(icon.width, 4 * 256);
    // Straight alpha: the badge's smoothed corners keep its full colour, only less opaque.
    for (const std::uint32_t pixel : icon.argb) {
      if (pixel != 0 && pixel >> 24 != 0xFF) {
        EXPECT_EQ(pixel & 0xFFFFFFu, 0x25292Eu);
      }
    }
  }
}

}  // namespace
