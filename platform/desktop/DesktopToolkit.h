#pragma once
// What the application needs of a GUI toolkit: the panel's share (tray icon, pop-up menu), the
// preferences window and the About dialog. The GTK view implements it in a module of its own
// (platform/gtk), which the program loads the first time one of them is needed, so that a run
// that never shows one never maps the toolkit's libraries.

#include <memory>
#include <string>
#include <vector>

#include "platform/panel/PanelToolkit.h"

class NSMainInterface;
struct BundleInfo;

class DesktopToolkit : public PanelToolkit {
 public:
  // Shows the preferences window of `objects` (built on the first call from the model's values
  // of that moment), raised and focused; `activationToken`, when not empty, lets the desktop
  // bring it to the front. False when it cannot be shown (logged).
  virtual bool showPreferences(NSMainInterface& objects, const std::string& activationToken) = 0;
  // Shows the About dialog filled from `info`, as showPreferences() shows its window.
  virtual void showAbout(const BundleInfo& info, const std::string& activationToken) = 0;
};

// The module's entry point, by this name: makes the toolkit with the toolkit's own command-line
// options in `arguments` (the program's name first), or leaves `made` empty when it cannot open
// a display (logged).
inline constexpr const char* desktopToolkitEntryPoint = "pyrelle_make_desktop_toolkit";
using DesktopToolkitEntryPoint = void (*)(const std::vector<std::string>* arguments,
                                          std::unique_ptr<DesktopToolkit>* made);
