#pragma once
// Writes straight-alpha ARGB pixels as an RGBA PNG (stored, uncompressed), so that drawn icons
// can be looked at. For tests and tools only.

#include <cstdint>
#include <string>
#include <vector>

// False when the file could not be written.
bool writePng(const std::string& path, int width, int height,
              const std::vector<std::uint32_t>& argb);
