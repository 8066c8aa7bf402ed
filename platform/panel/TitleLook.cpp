#include "platform/panel/TitleLook.h"

#include "platform/foundation/NSBundle.h"

namespace {

constexpr std::string_view labelGuide = "-00 °F";
constexpr std::string_view placeholder = "--";

// What the item is called where users read it.
std::string itemName() { return NSBundle::mainBundle().identity().name; }

bool blank(std::string_view title) {
  return title.find_first_not_of(' ') == std::string_view::npos;
}

// The label never goes empty: a host may hide the icon beside any label, and would show nothing.
std::string labelFor(std::string_view title) {
  return std::string(blank(title) ? placeholder : title);
}

}  // namespace

std::string thermometerIconName() { return applicationIconName() + "-symbolic"; }

std::string applicationIconName() { return NSBundle::mainBundle().identity().identifier; }

ItemLook itemLookFor(TitlePresentation presentation, PanelHost host, int scale,
                     std::string_view title) {
  ItemLook look;
  if (presentation == TitlePresentation::Label) {
    look.label = labelFor(title);
    look.labelGuide = labelGuideFor(look.label);
    // Cinnamon looks a name up as symbolic first, and takes a path with "symbolic" in it for a
    // name in its theme, which it then does not find: it gets the full-colour icon, by its path
    // where that is the program's own copy.
    const bool cinnamon = host == PanelHost::Cinnamon;
    look.iconName = cinnamon ? applicationIconName() : thermometerIconName();
    look.iconByPath = cinnamon;
    // Where the label does not show, the title still does on hover.
    look.toolTip = hostShowsLabels(host) ? itemName() : toolTipFor(title);
    return look;
  }
  // MATE's Notification Area hides the image beside any label, even an empty one, unless
  // "button images" are on (they are not without its settings daemon): the label then carries
  // the title too.
  if (host == PanelHost::MateNotificationArea) {
    look.label = labelFor(title);
    look.labelGuide = labelGuideFor(look.label);
  }
  look.pixmapSizesPx = iconSizesPxFor(host, scale);
  look.toolTip = toolTipFor(title);
  return look;
}

std::vector<int> iconSizesPxFor(PanelHost host, int scale) {
  switch (host) {
    // The largest pixmap, scaled to the host's size in device pixels: only that size, so that
    // nothing is scaled down. The scale of a session set only in its XSETTINGS is not seen here.
    case PanelHost::XfcePanel:
      return {22 * scale};
    case PanelHost::Waybar:
      return {16 * scale};
    case PanelHost::Cinnamon:
      return {24 * scale};
    // The pixmap nearest the host's size: the sizes panels use, at scale 1 and 2.
    case PanelHost::GnomeShell:
    case PanelHost::AyatanaIndicators:
    case PanelHost::MateNotificationArea:
    case PanelHost::Plasma:
    case PanelHost::LxqtPanel:
      return {16, 22, 24, 32, 44};
    case PanelHost::Unknown:
      break;
  }
  // Sharp both where the nearest and where the largest pixmap is drawn, on 16 and 22 px panels.
  return {16, 22};
}

std::string labelGuideFor(std::string_view label) {
  return label.empty() ? std::string() : std::string(labelGuide);
}

std::string drawnTitle(std::string_view title) {
  if (blank(title)) return std::string(placeholder);
  return std::string(title.substr(title.find_first_not_of(' ')));
}

std::string toolTipFor(std::string_view title) {
  if (blank(title)) return itemName();
  return itemName() + ": " + drawnTitle(title);
}

std::vector<TitleIcon> drawTitleIcons(std::string_view title, const std::vector<int>& sizesPx) {
  std::vector<TitleIcon> icons;
  const std::string shown = drawnTitle(title);
  for (const int size : sizesPx) icons.push_back(drawTitleIcon(shown, size));
  return icons;
}
