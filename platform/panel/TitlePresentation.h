#pragma once
// How the status item's title reaches the user's eyes. Hosts differ: GNOME Shell's AppIndicator
// extension, ayatana-indicator-application (XFCE's and MATE's Indicator plugins) and MATE's
// Notification Area show an item's XAyatanaLabel beside its icon; xfce4-panel's Status Tray,
// waybar, lxqt-panel, Plasma, Cinnamon and the XEmbed tray ignore it. So the label carries the
// title only where the process that owns the StatusNotifierWatcher is known to show it;
// everywhere else the title is drawn into the icon, which every host shows. The user may force
// either in the settings file.

#include <optional>
#include <string>
#include <string_view>

#include "platform/panel/PanelHost.h"

enum class TitlePresentation {
  Label,  // the label shows the title beside the thermometer icon
  Icon,   // the icon shows the title; the label stays empty where the icon shows beside it
};

// The user's choice, key "title" of group [Panel] in the settings file.
enum class TitleSetting { Auto, Label, Icon };

// "auto", "label" or "icon" (case and spaces around it do not matter); nothing set is Auto. Any
// other value is logged and read as Auto.
TitleSetting parseTitleSetting(std::optional<std::string> value);

// `hostProcess`: the watcher's process name while a StatusNotifierWatcher hosts the item;
// nullopt while it has none (the fallback tray icon shows no label, whatever the setting).
TitlePresentation titlePresentation(TitleSetting setting,
                                    const std::optional<std::string>& hostProcess);
