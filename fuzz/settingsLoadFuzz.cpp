// Loads arbitrary bytes as the settings file and checks that nothing the user had is lost:
// - a value read before a write reads the same after it, in a store made afresh;
// - a file that was set aside holds exactly the bytes it had, and one that was read stays unset
//   aside, with every line but the one set as it was; no temporary file is left behind;
// - no log line carries a control character or grows without bound.
//
// Input: the whole file.

#include <stdlib.h>

#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>

#include "platform/foundation/NSLog.h"
#include "platform/foundation/NSUserDefaults.h"

namespace fs = std::filesystem;

namespace {
void check(bool holds) {
  if (!holds) __builtin_trap();
}

// A private folder in memory where there is one, made once for the whole run and removed at
// its end.
struct ConfigFolder {
  ConfigFolder() {
    const fs::path base = fs::exists("/dev/shm") ? fs::path("/dev/shm") : fs::temp_directory_path();
    path = (base / "pyrelle-fuzz-XXXXXX").string();
    check(mkdtemp(path.data()) != nullptr);
    fs::create_directories(path + "/pyrelle");
  }
  ~ConfigFolder() {
    std::error_code ignored;
    fs::remove_all(path, ignored);
  }
  std::string path;
};

std::string contentOf(const fs::path& file) {
  std::ifstream in(file, std::ios::binary);
  return {std::istreambuf_iterator<char>(in), {}};
}

// `after` is `before` with at most one line changed and any lines added: what differs of
// `before`, once the bytes both start and end with are set apart, lies within one line.
bool changesOneLineAtMost(const std::string& before, const std::string& after) {
  const std::size_t shorter = std::min(before.size(), after.size());
  std::size_t same = 0, sameAtEnd = 0;
  while (same < shorter && before[same] == after[same]) ++same;
  while (same + sameAtEnd < shorter &&
         before[before.size() - 1 - sameAtEnd] == after[after.size() - 1 - sameAtEnd])
    ++sameAtEnd;
  return before.find('\n', same) >= before.size() - sameAtEnd;
}

bool isCleanLine(const std::string& line) {
  const auto control = [](char c) { return static_cast<unsigned char>(c) < 0x20 || c == 0x7f; };
  return line.size() < 8192 && std::none_of(line.begin(), line.end(), control);
}

NSUserDefaults& registered(NSUserDefaults& defaults) {
  defaults.registerDefaults({{"farenheit", true}, {"refreshinterval", std::int64_t{5}}});
  return defaults;
}
}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  static const ConfigFolder config;
  const fs::path folder = fs::path(config.path) / "pyrelle";
  for (const auto& entry : fs::directory_iterator(folder)) fs::remove_all(entry.path());
  const std::string bytes(reinterpret_cast<const char*>(data), size);
  std::ofstream(folder / "settings.ini", std::ios::binary) << bytes;

  LogCaptureForTesting log;
  bool farenheit = false;
  {
    NSUserDefaults defaults(config.path);
    farenheit = registered(defaults).boolForKey("farenheit");
    defaults.integerForKey("refreshinterval");
    defaults.setInteger(7, "refreshinterval");
  }
  NSUserDefaults reread(config.path);
  check(registered(reread).integerForKey("refreshinterval") == 7);
  check(reread.boolForKey("farenheit") == farenheit);

  const bool setAside = fs::exists(folder / "settings.ini.corrupt");
  if (setAside) check(contentOf(folder / "settings.ini.corrupt") == bytes);
  if (!setAside) check(changesOneLineAtMost(bytes, contentOf(folder / "settings.ini")));
  // The file, its lock and what was kept aside.
  check(std::distance(fs::directory_iterator(folder), {}) == (setAside ? 3 : 2));
  for (const std::string& line : log.lines()) check(isCleanLine(line));
  return 0;
}
