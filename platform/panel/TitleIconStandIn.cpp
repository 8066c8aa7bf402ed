#include "platform/panel/TitleIconStandIn.h"

#include <cstddef>

// A dark square with a light frame: the item is visible and clickable, though no text is drawn.
TitleIcon drawTitleIcon(std::string_view /*title*/, int sizePx) {
  if (sizePx <= 0) return {};
  TitleIcon icon{sizePx, sizePx, {}};
  const auto side = static_cast<std::size_t>(sizePx);
  icon.argb.assign(side * side, 0xff303030u);
  for (std::size_t i = 0; i < side; ++i) {
    icon.argb[i] = icon.argb[(side - 1) * side + i] = 0xffe0e0e0u;
    icon.argb[i * side] = icon.argb[i * side + side - 1] = 0xffe0e0e0u;
  }
  return icon;
}
