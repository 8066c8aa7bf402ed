#pragma once
// Loads the GTK view from its module (GModule), installed beside the program as
// "<prefix>/lib/<multiarch>/pyrelle/pyrelle-gtk.so" (in the build tree too, relative to the
// program).

#include <memory>
#include <string>
#include <vector>

#include "platform/desktop/DesktopToolkit.h"

// Loads the module and makes its toolkit. nullptr when the module is missing or broken, or
// cannot open a display: one log line says which.
std::unique_ptr<DesktopToolkit> loadToolkitModule(const std::vector<std::string>& arguments);

// Where the program looks for the module.
std::string toolkitModulePath();
