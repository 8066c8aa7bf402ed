#pragma once
// File URLs: made from a path, and the path read back.

#include <string>

class NSURL {
 public:
  // A file URL for `path`, made absolute against the working directory when it is relative.
  static NSURL fileURLWithPath(const std::string& path);

  std::string path() const { return filePath; }
  // The same URL with its path normalised by its text alone: "//", "/./" and "/../" resolved,
  // a trailing "/" dropped. Symbolic links are not looked at, so this never touches the disk.
  NSURL standardizedURL() const;

 private:
  explicit NSURL(std::string path) : filePath(std::move(path)) {}
  std::string filePath;
};
