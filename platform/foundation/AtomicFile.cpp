#include "platform/foundation/AtomicFile.h"

#include <fcntl.h>
#include <glib.h>
#include <glib/gstdio.h>
#include <stdio.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <ctime>

#include "platform/foundation/GLibPtr.h"
#include "platform/foundation/RegularFile.h"
#include "platform/foundation/UniqueFd.h"

namespace {

constexpr int maximumTemporaryAttempts = 100;
constexpr int maximumAsideNames = 1000;
// g_mkstemp's "XXXXXX": six ASCII letters and digits.
constexpr std::size_t temporaryMarkLength = 6;

std::string errorText() { return g_strerror(errno); }

// The file a symbolic link at `path` leads to; `path` itself when it is no link or leads nowhere.
std::string writeTarget(const std::string& path) {
  struct stat info {};
  if (lstat(path.c_str(), &info) != 0 || !S_ISLNK(info.st_mode)) return path;
  const std::unique_ptr<char, GLibRelease<free>> resolved(realpath(path.c_str(), nullptr));
  return resolved ? std::string(resolved.get()) : path;
}

// A new file "<target>.XXXXXX", locked by this object until it has been renamed over the target
// or, failing that, removed.
class LockedTemporary {
 public:
  explicit LockedTemporary(const std::string& target) {
    for (int attempt = 0; attempt < maximumTemporaryAttempts && !fd.valid(); ++attempt) {
      std::string pattern = target + ".XXXXXX";
      UniqueFd candidate(g_mkstemp_full(pattern.data(), O_RDWR | O_CLOEXEC, 0600));
      if (!candidate.valid()) {
        problem = errorText();
        return;
      }
      // A cleaner that saw the file before it was locked owns it now and removes it.
      if (flock(candidate.get(), LOCK_EX | LOCK_NB) != 0 && errno == EWOULDBLOCK) continue;
      struct stat info {};
      if (fstat(candidate.get(), &info) == 0 && info.st_nlink == 0) continue;
      fd = std::move(candidate);
      name = std::move(pattern);
    }
    if (!fd.valid()) problem = "no temporary file could be locked";
  }
  ~LockedTemporary() {
    if (fd.valid() && !renamed) g_unlink(name.c_str());
  }
  LockedTemporary(const LockedTemporary&) = delete;
  LockedTemporary& operator=(const LockedTemporary&) = delete;

  // Fills the file, syncs it and renames it to `target`. Empty on success, else why not.
  std::string replace(const std::string& target, std::string_view contents) {
    if (!fd.valid()) return problem;
    if (!writeAll(fd.get(), contents) || fsync(fd.get()) != 0) return errorText();
    if (g_rename(name.c_str(), target.c_str()) != 0) return errorText();
    renamed = true;
    return {};
  }

 private:
  UniqueFd fd;
  std::string name;
  std::string problem;
  bool renamed = false;
};

bool isTemporaryOf(std::string_view name, std::string_view base) {
  if (name.size() != base.size() + 1 + temporaryMarkLength || !name.starts_with(base) ||
      name[base.size()] != '.') {
    return false;
  }
  return std::all_of(name.begin() + static_cast<std::ptrdiff_t>(base.size() + 1), name.end(),
                     [](char c) { return g_ascii_isalnum(c); });
}

// Removes `name` when no one holds its lock and it is old enough.
bool removeIfAbandoned(int directoryFd, const char* name, std::chrono::seconds minimumAge) {
  const UniqueFd fd(
      openat(directoryFd, name, O_RDONLY | O_NONBLOCK | O_NOFOLLOW | O_NOCTTY | O_CLOEXEC));
  struct stat info {};
  if (!fd.valid() || fstat(fd.get(), &info) != 0 || !S_ISREG(info.st_mode)) return false;
  if (std::time(nullptr) - info.st_mtim.tv_sec < minimumAge.count()) return false;
  if (flock(fd.get(), LOCK_EX | LOCK_NB) != 0) return false;  // its writer is alive
  // Still the same file under that name: its writer may have renamed it meanwhile.
  struct stat named {};
  if (fstatat(directoryFd, name, &named, AT_SYMLINK_NOFOLLOW) != 0 || named.st_ino != info.st_ino ||
      named.st_dev != info.st_dev) {
    return false;
  }
  return unlinkat(directoryFd, name, 0) == 0;
}

bool renameWithoutReplacing(const std::string& from, const std::string& to) {
  if (renameat2(AT_FDCWD, from.c_str(), AT_FDCWD, to.c_str(), RENAME_NOREPLACE) == 0) return true;
  if (errno != EINVAL && errno != ENOSYS) return false;
  // A file system that cannot rename without replacing: look first. Only another run of this
  // program could take the name in between.
  struct stat existing {};
  if (lstat(to.c_str(), &existing) == 0) {
    errno = EEXIST;
    return false;
  }
  return errno == ENOENT && g_rename(from.c_str(), to.c_str()) == 0;
}

}  // namespace

std::string replaceFileAtomically(const std::string& path, std::string_view contents) {
  const std::string target = writeTarget(path);
  LockedTemporary temporary(target);
  return temporary.replace(target, contents);
}

int removeAbandonedTemporaries(const std::string& path, std::chrono::seconds minimumAge) {
  const std::string target = writeTarget(path);
  const GCharPtr folder(g_path_get_dirname(target.c_str()));
  const GCharPtr base(g_path_get_basename(target.c_str()));
  const UniqueFd folderFd(open(folder.get(), O_RDONLY | O_DIRECTORY | O_CLOEXEC));
  const std::unique_ptr<GDir, GLibRelease<g_dir_close>> listing(
      g_dir_open(folder.get(), 0, nullptr));
  if (!folderFd.valid() || !listing) return 0;
  int removed = 0;
  while (const char* name = g_dir_read_name(listing.get())) {
    if (isTemporaryOf(name, base.get()) && removeIfAbandoned(folderFd.get(), name, minimumAge)) {
      ++removed;
    }
  }
  return removed;
}

MovedAside moveAsideWithoutReplacing(const std::string& path, std::string_view suffix) {
  for (int number = 0; number < maximumAsideNames; ++number) {
    std::string name = path + std::string(suffix);
    if (number > 0) name += "." + std::to_string(number);
    if (renameWithoutReplacing(path, name)) return {std::move(name), {}};
    if (errno != EEXIST) return {std::nullopt, errorText()};
  }
  return {std::nullopt, "every name to keep it under is taken"};
}
