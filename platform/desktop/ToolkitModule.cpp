#include "platform/desktop/ToolkitModule.h"

#include <gmodule.h>

#include <filesystem>

#include "platform/foundation/NSBundle.h"
#include "platform/foundation/NSLog.h"

std::string toolkitModulePath() {
  const std::filesystem::path program(NSBundle::mainBundle().bundlePath());
  return (program.parent_path().parent_path() / PYRELLE_MODULE_DIR / "pyrelle-gtk.so").string();
}

std::unique_ptr<DesktopToolkit> loadToolkitModule(const std::vector<std::string>& arguments) {
  const std::string path = toolkitModulePath();
  // Symbols bound now, so that a module that does not fit this program fails here, logged,
  // rather than later in a call.
  GModule* module = g_module_open(path.c_str(), G_MODULE_BIND_LOCAL);
  if (module == nullptr) {
    NSLog("Cannot load the windows and tray icon (" + loggable(g_module_error()) +
          "); the panel item works without them");
    return nullptr;
  }
  // GTK cannot be unloaded from a process once started: the module stays for the run.
  g_module_make_resident(module);
  gpointer entry = nullptr;
  if (!g_module_symbol(module, desktopToolkitEntryPoint, &entry) || entry == nullptr) {
    NSLog("Cannot use " + loggable(path) + " (" + loggable(g_module_error()) +
          "); the panel item works without windows and tray icon");
    return nullptr;
  }
  std::unique_ptr<DesktopToolkit> made;
  reinterpret_cast<DesktopToolkitEntryPoint>(entry)(&arguments, &made);
  return made;
}
