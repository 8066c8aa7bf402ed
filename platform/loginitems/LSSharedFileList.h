#pragma once
// The user's session login items: the desktop entries (*.desktop files) of the XDG autostart
// directory, $XDG_CONFIG_HOME/autostart. One item per entry file, listed in file-name order.
// Every failure is logged here; callers only see that it failed.

#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "platform/foundation/NSURL.h"
#include "platform/foundation/Passkey.h"
#include "platform/foundation/UniqueFd.h"

// One entry of the list as a snapshot found it.
class LSSharedFileListItem {
 public:
  // The entry's file name inside the autostart directory (no directory part).
  const std::string& fileName() const { return name; }

 private:
  friend class LSSharedFileList;
  explicit LSSharedFileListItem(std::string fileName) : name(std::move(fileName)) {}
  std::string name;
};

class LSSharedFileList {
 public:
  // The session login-items list, or nullptr (logged) when the autostart directory exists but
  // cannot be read. A missing directory is an empty list; inserting creates it.
  static std::unique_ptr<LSSharedFileList> create();

  // The items as they are now, in file-name order (bytewise).
  std::vector<LSSharedFileListItem> copySnapshot() const;

  // The file URL of the absolute program the entry starts at login, or nullopt when it starts
  // nothing: not Type=Application, Hidden=true, X-GNOME-Autostart-enabled=false, no Exec, or a
  // relative program. Unreadable, binary, oversized (over 1 MiB) or malformed entries do not
  // resolve either; each such file is logged the first time in the run.
  std::optional<NSURL> resolveItem(const LSSharedFileListItem& item) const;

  // Adds an entry that starts the program at `url` at login, at the end of the list: a new file
  // pyrelle.desktop (pyrelle-2.desktop, ... when taken), written atomically, never replacing an
  // existing file. The directory and its missing parents are created with mode 0700. nullopt
  // (logged) when nothing could be written. Inserting the same URL twice adds two entries.
  std::optional<LSSharedFileListItem> insertItemURLLast(const NSURL& url);

  // Deletes the item's entry file; a symbolic link is removed itself, never what it points to.
  // false (logged) when it could not be deleted.
  bool removeItem(const LSSharedFileListItem& item);

  // Makes lists created from now on use `directory` (nullopt: the user's autostart directory).
  static void setDirectoryForTesting(std::optional<std::string> directory);

  // Made by create() only.
  LSSharedFileList(Passkey<LSSharedFileList> key, std::string path, UniqueFd fd);

 private:
  bool openOrCreateDirectory();

  std::string directory;
  UniqueFd directoryFd;  // not valid while the directory does not exist
};
