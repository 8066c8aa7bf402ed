#pragma once
// A file that is only ever replaced whole: written to a temporary file beside it, synced, then
// renamed over it, so that a crash leaves the old contents or the new ones. The temporary file
// is named "<file>.XXXXXX" and stays locked (flock) by its writer until it is renamed, which
// tells the leftover of a killed writer from a file being written now.

#include <chrono>
#include <optional>
#include <string>
#include <string_view>

// Replaces the contents of `path` (of the file it links to, when it is a symbolic link, so
// that a linked settings file stays linked). Empty on success, else why not.
std::string replaceFileAtomically(const std::string& path, std::string_view contents);

// Removes the temporary files of `path` that no writer holds any more and that have not
// changed for `minimumAge` (a writer of an older build held no lock). The number removed.
int removeAbandonedTemporaries(const std::string& path,
                               std::chrono::seconds minimumAge = std::chrono::seconds(60));

struct MovedAside {
  std::optional<std::string> name;  // the new name, when moved
  std::string problem;              // why not, when not
};

// Renames `path` (a link itself, not its target) to `path` + `suffix`, or to `path` + `suffix`
// + ".1", ".2", ... when taken: an existing file is never replaced.
MovedAside moveAsideWithoutReplacing(const std::string& path, std::string_view suffix);
