#pragma once
// How the status item's title looks in each place it shows: the label carries it byte for byte
// (the guide keeps the label's width as the title changes), the drawn icon shows it without its
// padding, or a placeholder while there is none, and the tooltip names the application. Which
// icon a host gets depends on how it draws one: some take the pixmap nearest their size, some the
// largest and scale it to theirs.

#include <string>
#include <string_view>
#include <vector>

#include "platform/panel/PanelHost.h"
#include "platform/panel/TitleIcon.h"
#include "platform/panel/TitlePresentation.h"

// What the item shows on one host for one title.
struct ItemLook {
  std::string label;
  std::string labelGuide;
  // A name in the icon theme (or the item's IconThemePath); empty: none.
  std::string iconName;
  // Where the item's IconThemePath holds that icon, IconName is the path of its file instead.
  bool iconByPath = false;
  // The title drawn at these sizes and sent as pixmaps.
  std::vector<int> pixmapSizesPx;
  std::string toolTip;
};

// `scale`: the session's GTK scale (GDK_SCALE), for the hosts that draw the largest pixmap.
ItemLook itemLookFor(TitlePresentation presentation, PanelHost host, int scale,
                     std::string_view title);

// The pixmap sizes offered to `host`.
std::vector<int> iconSizesPxFor(PanelHost host, int scale);

// The widest title the label is expected to show; "" while the label is empty.
std::string labelGuideFor(std::string_view label);

// What the icon shows: the title without leading spaces, or "--" while there is none.
std::string drawnTitle(std::string_view title);

// The thermometer, by its name in the theme: the symbolic variant, which panels paint in their
// text colour so that it reads on light and dark panels alike.
std::string thermometerIconName();
// The application's full-colour icon, for hosts that cannot draw symbolic icons from a folder.
std::string applicationIconName();

// "<name>: <title>", or the application's name alone while there is no title.
std::string toolTipFor(std::string_view title);

// The title drawn at each of `sizesPx`.
std::vector<TitleIcon> drawTitleIcons(std::string_view title, const std::vector<int>& sizesPx);
