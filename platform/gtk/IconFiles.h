#pragma once
// The icon files the panel reads: panels take an indicator's icon by name or by path, in their
// own process, so the thermometer (when it is not installed in the icon theme) and the title
// drawn into an icon are written as files into a private directory under the user's runtime
// directory. The directory and everything in it lives as long as this object.

#include <deque>
#include <memory>
#include <string>

class IconFiles {
 public:
  // nullptr, after a log line, when the directory cannot be made.
  static std::unique_ptr<IconFiles> create();
  ~IconFiles();
  IconFiles(const IconFiles&) = delete;
  IconFiles& operator=(const IconFiles&) = delete;

  const std::string& directory() const { return dir; }

  // The path of the thermometer icon, written from the program's resources on first use; empty
  // (logged) when it cannot be written.
  std::string thermometer();
  // Draws `title` into an icon under a new name (panels cache icons by name) and returns its
  // path; empty (logged) when it cannot be written. The previous file stays for a panel still
  // reading it; older ones are removed.
  std::string writeTitleIcon(const std::string& title);

 private:
  explicit IconFiles(std::string directory) : dir(std::move(directory)) {}

  std::string dir;
  std::string thermometerPath;
  std::deque<std::string> titleIcons;
  unsigned serial = 0;
};
