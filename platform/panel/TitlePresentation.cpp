#include "platform/panel/TitlePresentation.h"

#include <glib.h>

#include "platform/foundation/NSLog.h"

TitleSetting parseTitleSetting(std::optional<std::string> value) {
  if (!value) return TitleSetting::Auto;
  const std::string text = g_strstrip(value->data());
  if (g_ascii_strcasecmp(text.c_str(), "auto") == 0) return TitleSetting::Auto;
  if (g_ascii_strcasecmp(text.c_str(), "label") == 0) return TitleSetting::Label;
  if (g_ascii_strcasecmp(text.c_str(), "icon") == 0) return TitleSetting::Icon;
  NSLog("Setting \"title\" in group [Panel] is not auto, label or icon; using auto.");
  return TitleSetting::Auto;
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
  return hostShowsLabels(panelHostOf(*hostProcess)) ? TitlePresentation::Label
                                                    : TitlePresentation::Icon;
}
