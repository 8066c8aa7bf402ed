#pragma once
// Whole small files. Reading never waits: a pipe, device, socket or folder is refused before
// anything is read, and nothing is read past the size limit. A symbolic link is followed.

#include <cstddef>
#include <string>
#include <string_view>

enum class FileReadStatus {
  read,        // `contents` holds the whole file
  missing,     // no such file (or a path component is not a folder)
  notRegular,  // a pipe, device, socket, folder, or a loop of links
  tooLarge,    // more than the limit
  failed,      // could not be read now (no descriptors left, no permission, I/O error, ...)
};

struct FileRead {
  FileReadStatus status = FileReadStatus::failed;
  std::string contents;
  std::string problem;  // why not read, for a log line; empty when read
};

// Reads `name`, relative to the open folder `directoryFd` (or AT_FDCWD; an absolute name
// ignores it), when it is a regular file of at most `maximumBytes`.
FileRead readRegularFile(int directoryFd, const std::string& name, std::size_t maximumBytes);

// Writes all of `data` to `fd`, resuming after interruptions and short writes; false (errno set)
// when the system refused some of it.
bool writeAll(int fd, std::string_view data);
