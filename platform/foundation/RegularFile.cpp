#include "platform/foundation/RegularFile.h"

#include <fcntl.h>
#include <glib.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdint>

#include "platform/foundation/UniqueFd.h"

namespace {

FileRead failure(FileReadStatus status, std::string problem) {
  return {status, {}, std::move(problem)};
}

std::string sizeLimit(std::size_t maximumBytes) {
  constexpr std::size_t mebibyte = 1024 * 1024;
  if (maximumBytes % mebibyte == 0) {
    return "larger than " + std::to_string(maximumBytes / mebibyte) + " MiB";
  }
  return "larger than " + std::to_string(maximumBytes) + " bytes";
}

FileRead openFailure(int error) {
  if (error == ENOENT || error == ENOTDIR) {
    return failure(FileReadStatus::missing, g_strerror(error));
  }
  // A loop of links and a socket can never be read: they are as unusable as a pipe.
  if (error == ELOOP || error == ENXIO) {
    return failure(FileReadStatus::notRegular, g_strerror(error));
  }
  return failure(FileReadStatus::failed, g_strerror(error));
}

}  // namespace

FileRead readRegularFile(int directoryFd, const std::string& name, std::size_t maximumBytes) {
  // Non-blocking, so that opening a pipe without a writer returns at once instead of waiting.
  const UniqueFd fd(
      openat(directoryFd, name.c_str(), O_RDONLY | O_NONBLOCK | O_NOCTTY | O_CLOEXEC));
  if (!fd.valid()) return openFailure(errno);
  struct stat info {};
  if (fstat(fd.get(), &info) != 0) return failure(FileReadStatus::failed, g_strerror(errno));
  if (!S_ISREG(info.st_mode)) return failure(FileReadStatus::notRegular, "not a regular file");
  if (static_cast<std::uintmax_t>(info.st_size) > maximumBytes) {
    return failure(FileReadStatus::tooLarge, sizeLimit(maximumBytes));
  }
  // The size may have changed since fstat: read until the end, but never past the limit.
  std::string contents;
  char buffer[16 * 1024];
  while (contents.size() <= maximumBytes) {
    const ssize_t got = ::read(fd.get(), buffer, sizeof buffer);
    if (got < 0 && errno == EINTR) continue;
    if (got < 0) return failure(FileReadStatus::failed, g_strerror(errno));
    if (got == 0) return {FileReadStatus::read, std::move(contents), {}};
    contents.append(buffer, static_cast<std::size_t>(got));
  }
  return failure(FileReadStatus::tooLarge, sizeLimit(maximumBytes));
}

bool writeAll(int fd, std::string_view data) {
  while (!data.empty()) {
    const ssize_t written = ::write(fd, data.data(), data.size());
    if (written < 0 && errno == EINTR) continue;
    if (written == 0) errno = ENOSPC;
    if (written <= 0) return false;
    data.remove_prefix(static_cast<std::size_t>(written));
  }
  return true;
}
