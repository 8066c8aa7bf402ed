#include "platform/loginitems/AutostartFiles.h"

#include <dirent.h>
#include <fcntl.h>
#include <glib.h>
#include <stdio.h>

#include <algorithm>
#include <cerrno>
#include <memory>

#include "platform/foundation/RegularFile.h"

namespace {

constexpr int maximumNameAttempts = 1000;

struct DirCloser {
  void operator()(DIR* listing) const { closedir(listing); }
};

std::string lastError() { return g_strerror(errno); }

bool isPlainName(const std::string& name) {
  return !name.empty() && name != "." && name != ".." && name.find('/') == std::string::npos;
}

// A file that exists under a hidden name until it is linked under its own; the hidden name goes
// away with this object, whatever happened.
class TemporaryFile {
 public:
  TemporaryFile(int directory, std::string_view stem) : directoryFd(directory) {
    for (int attempt = 0; attempt < 100 && !fd.valid(); ++attempt) {
      name = "." + std::string(stem) + "-" + std::to_string(g_random_int()) + ".tmp";
      fd.reset(openat(directoryFd, name.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0666));
      if (!fd.valid() && errno != EEXIST) break;
    }
    if (!fd.valid()) problem = lastError();
    exists = fd.valid();
  }
  ~TemporaryFile() {
    if (exists) unlinkat(directoryFd, name.c_str(), 0);
  }
  TemporaryFile(const TemporaryFile&) = delete;
  TemporaryFile& operator=(const TemporaryFile&) = delete;

  // Writes `contents` through to the disk and closes the file. Empty on success, else why not.
  std::string fill(std::string_view contents) {
    if (!exists) return problem;
    if (!writeAll(fd.get(), contents) || fsync(fd.get()) != 0) return lastError();
    // close() reports late write errors of some file systems, so its result counts too.
    const int closed = ::close(fd.release());
    return closed == 0 ? std::string() : lastError();
  }

  // Gives the file the name `target` unless that name is taken (false with errno EEXIST then).
  bool linkAs(const std::string& target) {
    if (renameat2(directoryFd, name.c_str(), directoryFd, target.c_str(), RENAME_NOREPLACE) == 0) {
      exists = false;
      return true;
    }
    // Some file systems cannot rename without replacing; a hard link gives the same guarantee,
    // and the hidden name is removed afterwards.
    if (errno != EINVAL && errno != ENOSYS) return false;
    return linkat(directoryFd, name.c_str(), directoryFd, target.c_str(), 0) == 0;
  }

 private:
  int directoryFd;
  UniqueFd fd;
  std::string name;
  std::string problem;
  bool exists = false;
};

std::string candidateName(std::string_view stem, int attempt) {
  std::string name(stem);
  if (attempt > 1) name += "-" + std::to_string(attempt);
  return name + ".desktop";
}

}  // namespace

std::vector<std::string> namesWithSuffix(int directoryFd, std::string_view suffix) {
  std::vector<std::string> names;
  // A descriptor of its own, so that reading the directory starts at its beginning every time.
  const int listingFd = openat(directoryFd, ".", O_RDONLY | O_DIRECTORY | O_CLOEXEC);
  if (listingFd < 0) return names;
  const std::unique_ptr<DIR, DirCloser> listing(fdopendir(listingFd));
  if (!listing) {
    ::close(listingFd);
    return names;
  }
  while (const dirent* entry = readdir(listing.get())) {
    const std::string_view name = entry->d_name;
    if (name.size() > suffix.size() && name.ends_with(suffix)) names.emplace_back(name);
  }
  std::sort(names.begin(), names.end());
  return names;
}

FileResult readSmallFile(int directoryFd, const std::string& name) {
  if (!isPlainName(name)) return {std::nullopt, "not a file name"};
  FileRead file = readRegularFile(directoryFd, name, maximumEntryBytes);
  if (file.status != FileReadStatus::read) return {std::nullopt, std::move(file.problem)};
  return {std::move(file.contents), {}};
}

FileResult writeNewDesktopFile(int directoryFd, std::string_view stem, std::string_view contents) {
  TemporaryFile temporary(directoryFd, stem);
  if (std::string problem = temporary.fill(contents); !problem.empty()) {
    return {std::nullopt, problem};
  }
  for (int attempt = 1; attempt <= maximumNameAttempts; ++attempt) {
    std::string name = candidateName(stem, attempt);
    if (temporary.linkAs(name)) return {std::move(name), {}};
    if (errno != EEXIST) return {std::nullopt, lastError()};
  }
  return {std::nullopt, "every entry name is taken"};
}

std::string removeFile(int directoryFd, const std::string& name) {
  if (!isPlainName(name)) return "not a file name";
  if (unlinkat(directoryFd, name.c_str(), 0) != 0) return lastError();
  return {};
}
