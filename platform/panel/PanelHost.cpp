#include "platform/panel/PanelHost.h"

#include <array>
#include <utility>

#include "platform/panel/HostProcess.h"

namespace {

// A name the kernel cut short matches the start of a known one.
constexpr std::size_t commLength = processNameCutLength;

constexpr std::array<std::pair<std::string_view, PanelHost>, 8> knownHosts = {{
    {"gnome-shell", PanelHost::GnomeShell},
    {"ayatana-indicator-application-service", PanelHost::AyatanaIndicators},
    {"notification-area-applet", PanelHost::MateNotificationArea},
    {"kded5", PanelHost::Plasma},
    {"lxqt-panel", PanelHost::LxqtPanel},
    {"xfce4-panel", PanelHost::XfcePanel},
    {"waybar", PanelHost::Waybar},
    {"xapp-sn-watcher", PanelHost::Cinnamon},
}};

bool named(std::string_view process, std::string_view known) {
  return process == known || (process.size() == commLength && known.starts_with(process));
}

// xfce4-panel runs its plugins out of process by default: the Status Tray is then a wrapper
// named "panel-<n>-systray" (cut to 15 characters from panel 10 on).
bool xfceSystrayWrapper(std::string_view process) {
  if (!process.starts_with("panel-")) return false;
  const std::size_t dash = process.find('-', 6);
  if (dash == std::string_view::npos || dash == 6) return false;
  for (const char c : process.substr(6, dash - 6))
    if (c < '0' || c > '9') return false;
  const std::string_view plugin = process.substr(dash + 1);
  if (plugin.empty()) return false;
  return plugin == "systray" ||
         (process.size() == commLength && std::string_view("systray").starts_with(plugin));
}

}  // namespace

PanelHost panelHostOf(std::string_view process) {
  if (process.empty()) return PanelHost::Unknown;
  for (const auto& [known, host] : knownHosts)
    if (named(process, known)) return host;
  return xfceSystrayWrapper(process) ? PanelHost::XfcePanel : PanelHost::Unknown;
}

bool hostShowsLabels(PanelHost host) {
  return host == PanelHost::GnomeShell || host == PanelHost::AyatanaIndicators ||
         host == PanelHost::MateNotificationArea;
}
