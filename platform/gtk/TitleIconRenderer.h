#pragma once
// Draws the status item's title into a square icon, for panels that show no label: the number
// large on top, the unit below it, light text on a dark rounded badge that reads on light and
// dark panels alike.

#include <string>

// The PNG bytes of a `sizePixels` square icon showing `title` (such as " 45 °C": the part before
// the last space is the number, the rest the unit). Empty when drawing failed.
std::string renderTitleIconPng(const std::string& title, int sizePixels);
