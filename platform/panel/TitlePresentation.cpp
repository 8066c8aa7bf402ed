#include "platform/panel/TitlePresentation.h"

#include <glib.h>

#include <array>

#include "platform/foundation/NSLog.h"

namespace {

// Programs that own the StatusNotifierWatcher and show labels, seen doing so.
constexpr std::array<std::string_view, 2> labelShowingHosts = {
    "gnome-shell", "ayatana-indicator-application-service"};

// The kernel keeps 15 characters of a process name; a cut name matches the start of a known one.
constexpr std::size_t commLength = 15;

}  // namespace

TitleSetting parseTitleSetting(std::optional<std::string> value) {
  if (!value) return TitleSetting::Auto;
  const std::string text = g_strstrip(value->data());
  if (g_ascii_strcasecmp(text.c_str(), "auto") == 0) return TitleSetting::Auto;
  if (g_ascii_strcasecmp(text.c_str(), "label") == 0) return TitleSetting::Label;
  if (g_ascii_strcasecmp(text.c_str(), "icon") == 0) return TitleSetting::Icon;
  NSLog("Setting \"title\" in group [Panel] is not auto, label or icon; using auto.");
  return TitleSetting::Auto;
}

bool hostShowsLabels(std::string_view process) {
  if (process.empty()) return false;
  for (std::string_view known : labelShowingHosts) {
    if (process == known) return true;
    if (process.size() == commLength && known.starts_with(process)) return true;
  }
  return false;
}

TitlePresentation titlePresentation(TitleSetting setting,
                                    const std::optional<std::string>& hostProcess) {
  if (!hostProcess) return TitlePresentation::Icon;
  switch (setting) {
    case TitleSetting::Label:
      return TitlePresentation::Label;
    case TitleSetting::Icon:
      return TitlePresentation::Icon;
    case TitleSetting::Auto:
      break;
  }
  return hostShowsLabels(*hostProcess) ? TitlePresentation::Label : TitlePresentation::Icon;
}
