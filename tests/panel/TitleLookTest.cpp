// What each panel host is shown: which host a watcher's process name is, which pixmap it ends up
// drawing, and what the label, icon and tooltip carry.

#include "platform/panel/TitleLook.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <tuple>

namespace {

// The names the host tests meet whose misreading would show there (a label host without its label,
// a pixmap drawn scaled) are left to them: gnome-shell, ayatana-indicat (the kernel's 15
// characters), notification-ar, waybar and xapp-sn-watcher.
TEST(TitleLook, HostsAreKnownByTheirProcessNameEvenWhenCut) {
  const std::pair<const char*, PanelHost> cases[] = {
      {"notification-area-applet", PanelHost::MateNotificationArea},
      {"kded5", PanelHost::Plasma},
      {"lxqt-panel", PanelHost::LxqtPanel},
      {"xfce4-panel", PanelHost::XfcePanel},
      {"panel-1-systray", PanelHost::XfcePanel},  // its plugin run out of process
      {"panel-12-systra", PanelHost::XfcePanel},
      {"panel-1-clock", PanelHost::Unknown},
      {"panel--systray", PanelHost::Unknown},
      {"gnome-shel", PanelHost::Unknown},  // cut short, but not by the kernel
      {"", PanelHost::Unknown}};
  for (const auto& [process, host] : cases) EXPECT_EQ(panelHostOf(process), host) << process;
}

// Hosts pick from the offered pixmaps in their own ways: xfce4-panel, waybar and Cinnamon take
// the largest and scale it to their size; the Qt panels, GNOME Shell and MATE the one that fits
// their size (the Qt panels and GNOME Shell in device pixels, whatever the scale). Each gets one
// of exactly the size it draws. (The host tests see it drawn sharp on xfce4-panel, waybar,
// Cinnamon, lxqt-panel at scales 1 and 2 and Plasma; the other sizes are here.)
TEST(TitleLook, EachHostPicksAPixmapOfTheSizeItDraws) {
  enum Pick { largest, nearestAbove, largestBelow };
  const std::tuple<PanelHost, int, Pick, int> cases[] = {
      {PanelHost::XfcePanel, 2, largest, 44},
      {PanelHost::LxqtPanel, 2, nearestAbove, 44},
      {PanelHost::GnomeShell, 2, nearestAbove, 32},
      {PanelHost::MateNotificationArea, 1, largestBelow, 22},
      {PanelHost::Unknown, 1, largest, 22},
      {PanelHost::Unknown, 1, nearestAbove, 16}};
  for (const auto& [host, scale, pick, drawnPx] : cases) {
    std::vector<int> sizes = iconSizesPxFor(host, scale);
    std::ranges::sort(sizes);
    int picked = sizes.back();
    if (pick == nearestAbove) picked = *std::ranges::lower_bound(sizes, drawnPx);
    if (pick == largestBelow) picked = *std::prev(std::ranges::upper_bound(sizes, drawnPx));
    EXPECT_EQ(picked, drawnPx) << static_cast<int>(host) << " at scale " << scale;
  }
}

// The label, its guide and the pixmaps per presentation are the panel test's, on the bus.
TEST(TitleLook, TheLabelCarriesTheTitleAndNeverGoesEmpty) {
  const ItemLook padded = itemLookFor(TitlePresentation::Label, PanelHost::GnomeShell, 1, " 5 °C");
  EXPECT_EQ(itemLookFor(TitlePresentation::Label, PanelHost::GnomeShell, 1, "").label, "--");

  // Forced on hosts that show no label, the title shows on hover; Cinnamon gets the full-colour
  // icon by its path, since it takes a path with "symbolic" in it for a name in its theme.
  const ItemLook cinnamon = itemLookFor(TitlePresentation::Label, PanelHost::Cinnamon, 1, "45 °C");
  EXPECT_EQ(cinnamon.iconName, "io.github.pyrelle.Pyrelle");
  EXPECT_TRUE(cinnamon.iconByPath);
  EXPECT_FALSE(padded.iconByPath);
  EXPECT_EQ(cinnamon.toolTip, "Pyrelle: 45 °C");

  // Drawn into the icon, the title leaves the label empty (no themed icon name either: the host
  // tests see the digits), except on MATE's Notification Area, which hides the icon beside any
  // label unless its settings daemon turns button images on.
  const ItemLook drawn = itemLookFor(TitlePresentation::Icon, PanelHost::LxqtPanel, 1, " 5 °C");
  EXPECT_EQ(drawn.labelGuide, "");
  EXPECT_EQ(drawn.toolTip, "Pyrelle: 5 °C");
  const ItemLook mate =
      itemLookFor(TitlePresentation::Icon, PanelHost::MateNotificationArea, 1, "45 °C");
  EXPECT_EQ(mate.label, "45 °C");
  EXPECT_FALSE(mate.pixmapSizesPx.empty());
}

}  // namespace
