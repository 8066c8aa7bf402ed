#pragma once
// The icons that show beside the label, as hosts find them: by name in the icon theme where
// Pyrelle is installed, else in a folder named as the item's IconThemePath, where the program
// puts its own copies.

#include <string>

// The thermometer, by its name in the theme: the symbolic variant, which panels paint in their
// text colour so that it reads on light and dark panels alike.
inline constexpr const char* thermometerIconName = "io.github.pyrelle.Pyrelle-symbolic";
// The application's full-colour icon, for hosts that cannot draw symbolic icons from a folder.
inline constexpr const char* applicationIconName = "io.github.pyrelle.Pyrelle";

// "" when both icons are installed in a data directory's hicolor theme. Otherwise writes the
// missing ones as "<user runtime dir>/pyrelle/<name>.svg" (the same files every run, replaced
// whole) and returns that folder; "" (logged) when it cannot.
std::string panelIconFolder();
