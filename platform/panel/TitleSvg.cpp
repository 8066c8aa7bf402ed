#include "platform/panel/TitleSvg.h"

#include <cstdio>
#include <map>

namespace {

std::size_t indexOf(const TitleIcon& icon, int x, int y) {
  return static_cast<std::size_t>(y) * static_cast<std::size_t>(icon.width) +
         static_cast<std::size_t>(x);
}

// The most frequent translucent colour: the badge's body.
std::uint32_t bodyColourOf(const TitleIcon& icon) {
  std::map<std::uint32_t, std::size_t> counts;
  for (const std::uint32_t pixel : icon.argb)
    if (pixel >> 24 != 0 && pixel >> 24 != 0xFF) ++counts[pixel];
  std::uint32_t body = 0;
  std::size_t most = 0;
  for (const auto& [colour, count] : counts) {
    if (count <= most) continue;
    body = colour;
    most = count;
  }
  return body;
}

// "M x y h n v 1 h -n z" for each run of pixels that `inPath` takes, row by row.
std::string pathOf(const TitleIcon& icon, auto inPath) {
  std::string data;
  char step[64];
  for (int y = 0; y < icon.height; ++y) {
    for (int x = 0; x < icon.width;) {
      if (!inPath(icon.argb[indexOf(icon, x, y)])) {
        ++x;
        continue;
      }
      int end = x + 1;
      while (end < icon.width && inPath(icon.argb[indexOf(icon, end, y)])) ++end;
      std::snprintf(step, sizeof step, "M%d %dh%dv1h-%dz", x, y, end - x, end - x);
      data += step;
      x = end;
    }
  }
  return data;
}

std::string pathElement(const std::string& data, std::uint32_t colour) {
  char fill[80];
  std::snprintf(fill, sizeof fill, "\" fill=\"#%06X\" fill-opacity=\"%.3f\"/>\n",
                static_cast<unsigned>(colour & 0xFFFFFFu), (colour >> 24) / 255.0);
  return "<path d=\"" + data + fill;
}

}  // namespace

std::string svgOf(const TitleIcon& icon) {
  char header[160];
  std::snprintf(header, sizeof header,
                "<svg xmlns=\"http://www.w3.org/2000/svg\" width=\"%d\" height=\"%d\" "
                "viewBox=\"0 0 %d %d\">\n",
                icon.width, icon.height, icon.width, icon.height);
  std::string svg = header;
  const std::uint32_t body = bodyColourOf(icon);
  std::map<std::uint32_t, bool> colours;
  for (const std::uint32_t pixel : icon.argb)
    if (pixel >> 24 != 0) colours[pixel] = pixel >> 24 == 0xFF;
  // Translucent colours first, the body under the opaque pixels too; then the opaque ones.
  for (const bool opaque : {false, true}) {
    for (const auto& [colour, isOpaque] : colours) {
      if (isOpaque != opaque) continue;
      const std::uint32_t wanted = colour;
      const bool underOpaque = colour == body;
      const std::string data = pathOf(icon, [wanted, underOpaque](std::uint32_t pixel) {
        return pixel == wanted || (underOpaque && pixel >> 24 == 0xFF);
      });
      svg += pathElement(data, colour);
    }
  }
  return svg + "</svg>\n";
}
