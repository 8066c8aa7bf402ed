#pragma once
// A private config tree for one test: lists created meanwhile use <root>/config/autostart, which
// does not exist until the test or an insertion makes it.

#include <stdlib.h>

#include <filesystem>
#include <fstream>
#include <string>

#include "platform/loginitems/LSSharedFileList.h"

class TemporaryAutostart {
 public:
  TemporaryAutostart() {
    std::string pattern = (std::filesystem::temp_directory_path() / "pyrelle-XXXXXX").string();
    root = mkdtemp(pattern.data()) != nullptr ? pattern : "/nonexistent";
    LSSharedFileList::setDirectoryForTesting(autostart());
  }
  ~TemporaryAutostart() {
    LSSharedFileList::setDirectoryForTesting(std::nullopt);
    std::error_code ignored;
    std::filesystem::remove_all(root, ignored);
  }

  std::filesystem::path autostart() const { return root / "config" / "autostart"; }
  void write(const std::string& name, const std::string& contents) const {
    std::filesystem::create_directories(autostart());
    std::ofstream(autostart() / name, std::ios::binary) << contents;
  }

  std::filesystem::path root;
};

inline std::string entryWithExec(const std::string& exec) {
  return "[Desktop Entry]\nType=Application\nName=Other\nExec=" + exec + "\n";
}
