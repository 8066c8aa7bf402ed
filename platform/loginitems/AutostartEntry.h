#pragma once
// The text of an autostart desktop entry: which program it starts at login, and the entry this
// program writes for itself. Quoting follows the desktop entry format's Exec rules.

#include <optional>
#include <string>
#include <string_view>

struct EntryProgram {
  // The absolute program the entry starts at login; nullopt when it starts none.
  std::optional<std::string> path;
  // Why the text is not a readable desktop entry; empty when it is one.
  std::string malformed;
};

// Reads `contents` (any bytes) as a desktop entry.
EntryProgram programOfEntry(std::string_view contents);

// The entry that starts `programPath` (absolute) at login; nullopt when the path cannot be kept
// in a desktop entry: not UTF-8, or holding control characters.
std::optional<std::string> entryStartingProgram(const std::string& programPath);
