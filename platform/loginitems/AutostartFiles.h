#pragma once
// File operations inside an open directory, relative to its descriptor, so that a renamed or
// replaced path cannot redirect them. Reading follows a symbolic link; writing and deleting never
// do. Failures come back as a short reason.

#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "platform/foundation/UniqueFd.h"

inline constexpr std::size_t maximumEntryBytes = 1024 * 1024;

struct FileResult {
  std::optional<std::string> value;  // the contents read, or the name written
  std::string problem;               // why not, when value is nullopt
};

// The names in the directory that end in `suffix`, sorted bytewise.
std::vector<std::string> namesWithSuffix(int directoryFd, std::string_view suffix);

// The contents of a regular file of at most maximumEntryBytes. Never waits on a pipe or device.
FileResult readSmallFile(int directoryFd, const std::string& name);

// Writes `contents` to a new file named `stem`.desktop, or `stem`-2.desktop and so on when taken.
// The file appears whole or not at all, and no existing file or link is replaced.
FileResult writeNewDesktopFile(int directoryFd, std::string_view stem, std::string_view contents);

// Deletes the directory entry `name` (a link itself, not its target). Empty on success.
std::string removeFile(int directoryFd, const std::string& name);
