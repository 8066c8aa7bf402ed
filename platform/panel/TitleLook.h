#pragma once
// How the status item's title looks in each place it shows: the label carries it byte for byte
// (the guide keeps the label's width as the title changes), the drawn icon shows it without
// its padding, or a placeholder while there is none, and the tooltip names the application.

#include <string>
#include <string_view>
#include <vector>

#include "platform/panel/TitleIcon.h"

// The widest title the label is expected to show; "" while the label is empty.
std::string labelGuideFor(std::string_view label);

// What the icon shows: the title without leading spaces, or "--" while there is none.
std::string drawnTitle(std::string_view title);

// "<name>: <title>", or `name` alone while there is no title.
std::string toolTipFor(std::string_view name, std::string_view title);

// The pixmap sizes offered to the host program named `hostProcess` (processName() form).
std::vector<int> iconSizesPxFor(std::string_view hostProcess);

// The title drawn at each of `sizesPx`.
std::vector<TitleIcon> drawTitleIcons(std::string_view title, const std::vector<int>& sizesPx);
