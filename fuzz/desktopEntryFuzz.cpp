// Reads arbitrary bytes as an autostart desktop entry, and writes an entry for an arbitrary
// program path and reads it back:
// - a parsed entry names an absolute program or none, and is never both read and malformed;
// - a program path that an entry can hold comes back exactly; one it cannot hold (not UTF-8,
//   control characters) is refused.
//
// Input: the entry's bytes; the same bytes after a "/" are the program path.

#include <glib.h>

#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>

#include "platform/loginitems/AutostartEntry.h"

namespace {
void check(bool holds) {
  if (!holds) __builtin_trap();
}

bool entryCanHold(const std::string& path) {
  const auto control = [](char c) { return static_cast<unsigned char>(c) < 0x20 || c == 0x7f; };
  return g_utf8_validate(path.data(), static_cast<gssize>(path.size()), nullptr) &&
         std::none_of(path.begin(), path.end(), control);
}
}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  const std::string bytes(reinterpret_cast<const char*>(data), size);

  const EntryProgram parsed = programOfEntry(bytes);
  if (parsed.path) {
    check(parsed.malformed.empty());
    check(g_path_is_absolute(parsed.path->c_str()));
  }

  const std::string program = "/" + bytes;
  const std::optional<std::string> entry = entryStartingProgram(program);
  check(entry.has_value() == entryCanHold(program));
  if (!entry) return 0;
  const EntryProgram readBack = programOfEntry(*entry);
  check(readBack.malformed.empty());
  check(readBack.path == program);
  return 0;
}
