#include "platform/panel/TitleLook.h"

namespace {

constexpr std::string_view labelGuide = "-00 °F";
constexpr std::string_view placeholder = "--";

}  // namespace

std::string labelGuideFor(std::string_view label) {
  return label.empty() ? std::string() : std::string(labelGuide);
}

std::string drawnTitle(std::string_view title) {
  const std::size_t first = title.find_first_not_of(' ');
  if (first == std::string_view::npos) return std::string(placeholder);
  return std::string(title.substr(first));
}

std::string toolTipFor(std::string_view name, std::string_view title) {
  const std::size_t first = title.find_first_not_of(' ');
  if (first == std::string_view::npos) return std::string(name);
  return std::string(name) + ": " + std::string(title.substr(first));
}

std::vector<int> iconSizesPxFor(std::string_view /*hostProcess*/) {
  // Most hosts pick the nearest pixmap, but xfce4-panel takes the largest and scales it down,
  // which blurs the digits: so nothing larger than its usual 22 px.
  return {16, 22};
}

std::vector<TitleIcon> drawTitleIcons(std::string_view title, const std::vector<int>& sizesPx) {
  std::vector<TitleIcon> icons;
  const std::string shown = drawnTitle(title);
  for (const int size : sizesPx) icons.push_back(drawTitleIcon(shown, size));
  return icons;
}
