#include "platform/loginitems/LSSharedFileList.h"

#include <fcntl.h>
#include <glib.h>

#include <cerrno>
#include <set>

#include "platform/foundation/GLibPtr.h"
#include "platform/foundation/NSBundle.h"
#include "platform/foundation/NSLog.h"
#include "platform/foundation/NSPathUtilities.h"
#include "platform/loginitems/AutostartEntry.h"
#include "platform/loginitems/AutostartFiles.h"

namespace {

constexpr std::string_view entrySuffix = ".desktop";

std::optional<std::string>& directoryOverride() {
  static std::optional<std::string> directory;
  return directory;
}

std::string autostartDirectory() {
  if (directoryOverride()) return *directoryOverride();
  const GCharPtr path(g_build_filename(userConfigDirectory().c_str(), "autostart", nullptr));
  return path.get();
}

// File names, paths and the parser's messages are outside text.
void logFailure(std::string_view what, std::string_view path, std::string_view why) {
  NSLog(std::string(what) + " " + loggable(path) + ": " + loggable(why));
}

// A bad entry is logged the first time it is met in the run: the list is read again at every
// look-up, and a folder of thousands of bad entries must not flood the log each time.
void logSkippedOnce(const std::string& path, std::string_view why) {
  static std::set<std::string, std::less<>> reported;
  if (reported.insert(path).second) logFailure("Skipping login item", path, why);
}

}  // namespace

std::unique_ptr<LSSharedFileList> LSSharedFileList::create() {
  std::string directory = autostartDirectory();
  UniqueFd fd(open(directory.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC));
  if (!fd.valid() && errno != ENOENT) {
    logFailure("Cannot read the login items in", directory, g_strerror(errno));
    return nullptr;
  }
  return std::make_unique<LSSharedFileList>(Passkey<LSSharedFileList>{}, std::move(directory),
                                            std::move(fd));
}

LSSharedFileList::LSSharedFileList(Passkey<LSSharedFileList> /*key*/, std::string path, UniqueFd fd)
    : directory(std::move(path)), directoryFd(std::move(fd)) {}

std::vector<LSSharedFileListItem> LSSharedFileList::copySnapshot() const {
  std::vector<LSSharedFileListItem> items;
  if (!directoryFd.valid()) return items;
  for (std::string& name : namesWithSuffix(directoryFd.get(), entrySuffix)) {
    items.push_back(LSSharedFileListItem(std::move(name)));
  }
  return items;
}

std::optional<NSURL> LSSharedFileList::resolveItem(const LSSharedFileListItem& item) const {
  if (!directoryFd.valid()) return std::nullopt;
  const std::string path = directory + "/" + item.fileName();
  const FileResult file = readSmallFile(directoryFd.get(), item.fileName());
  if (!file.value) {
    logSkippedOnce(path, file.problem);
    return std::nullopt;
  }
  const EntryProgram program = programOfEntry(*file.value);
  if (!program.malformed.empty()) {
    logSkippedOnce(path, program.malformed);
    return std::nullopt;
  }
  if (!program.path) return std::nullopt;
  return NSURL::fileURLWithPath(*program.path);
}

std::optional<LSSharedFileListItem> LSSharedFileList::insertItemURLLast(const NSURL& url) {
  const std::optional<std::string> contents = entryStartingProgram(url.path());
  if (!contents) {
    logFailure("Cannot add a login item for", url.path(),
               "the path is not UTF-8 or holds control characters");
    return std::nullopt;
  }
  if (!openOrCreateDirectory()) return std::nullopt;
  FileResult written = writeNewDesktopFile(
      directoryFd.get(), NSBundle::mainBundle().identity().programName, *contents);
  if (!written.value) {
    logFailure("Cannot add a login item in", directory, written.problem);
    return std::nullopt;
  }
  return LSSharedFileListItem(std::move(*written.value));
}

bool LSSharedFileList::removeItem(const LSSharedFileListItem& item) {
  const std::string path = directory + "/" + item.fileName();
  const std::string problem = directoryFd.valid() ? removeFile(directoryFd.get(), item.fileName())
                                                  : std::string(g_strerror(ENOENT));
  if (problem.empty()) return true;
  logFailure("Cannot remove login item", path, problem);
  return false;
}

void LSSharedFileList::setDirectoryForTesting(std::optional<std::string> directory) {
  directoryOverride() = std::move(directory);
}

bool LSSharedFileList::openOrCreateDirectory() {
  if (directoryFd.valid()) return true;
  // The XDG base directory rules: missing directories are made private to the user.
  if (g_mkdir_with_parents(directory.c_str(), 0700) != 0) {
    logFailure("Cannot create the login items directory", directory, g_strerror(errno));
    return false;
  }
  directoryFd.reset(open(directory.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC));
  if (directoryFd.valid()) return true;
  logFailure("Cannot read the login items in", directory, g_strerror(errno));
  return false;
}
