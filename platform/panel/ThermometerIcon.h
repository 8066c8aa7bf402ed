#pragma once
// The thermometer icon that shows beside the label, as hosts find it: by name in the icon theme
// where Pyrelle is installed, else in a folder named as the item's IconThemePath, where the
// program puts its own copy.

#include <string>

// The icon's name in the theme: the symbolic variant, which panels paint in their text colour so
// that it reads on light and dark panels alike.
std::string thermometerIconName();

// "" when the icon is installed in a data directory's hicolor theme. Otherwise writes the
// program's copy as "<user runtime dir>/pyrelle/<name>.svg" (the same file every run, replaced
// whole) and returns its folder; "" (logged) when it cannot.
std::string thermometerThemePath();
