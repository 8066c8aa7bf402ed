#include "platform/gtk/TitlePresentation.h"

#include <glib.h>

#include <array>
#include <string>

namespace {

// Desktops whose panel shows the XAyatanaLabel of a StatusNotifierItem.
constexpr std::array<std::string_view, 5> labelShowingDesktops = {"GNOME", "Unity", "Budgie",
                                                                  "MATE", "Pantheon"};

bool showsLabels(std::string_view desktop) {
  for (std::string_view known : labelShowingDesktops) {
    if (desktop.size() == known.size() &&
        g_ascii_strncasecmp(desktop.data(), known.data(), known.size()) == 0) {
      return true;
    }
  }
  return false;
}

}  // namespace

TitlePresentation titlePresentation(bool registered, std::string_view currentDesktops) {
  if (!registered) return TitlePresentation::Icon;
  while (!currentDesktops.empty()) {
    const std::size_t colon = currentDesktops.find(':');
    if (showsLabels(currentDesktops.substr(0, colon))) return TitlePresentation::Label;
    if (colon == std::string_view::npos) break;
    currentDesktops.remove_prefix(colon + 1);
  }
  return TitlePresentation::Icon;
}
