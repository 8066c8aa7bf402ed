#pragma once
// The icons that show beside the label, as hosts find them: by name in the icon theme where
// Pyrelle is installed, else in a folder named as the item's IconThemePath, where the program
// puts its own copies.

#include <string>

// "" when both icons are installed in a data directory's hicolor theme. Otherwise writes the
// missing ones as "<user runtime dir>/<program>/<name>.svg" (the same files every run, replaced
// whole) and returns that folder; "" (logged) when it cannot.
std::string panelIconFolder();
