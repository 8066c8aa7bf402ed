#include "platform/foundation/KeyFileEdit.h"

#include <glib.h>

#include <optional>

#include "platform/foundation/GLibPtr.h"

namespace {

// One line of the file as GKeyFile sees it: without its "\n", nor the "\r" before one.
struct Line {
  std::size_t start = 0;
  std::string_view text;
  bool terminated = false;  // followed by "\n"
  std::size_t end() const { return start + text.size(); }
};

Line lineAt(std::string_view contents, std::size_t start) {
  const std::size_t newline = contents.find('\n', start);
  Line line{start, contents.substr(start, newline - start), newline != std::string_view::npos};
  if (line.terminated && line.text.ends_with('\r')) line.text.remove_suffix(1);
  return line;
}

// What ends a last line that had no "\n": GKeyFile drops a "\r" before a "\n", so a line that
// ends in one gets another.
std::string lineBreakAfter(const Line& line) { return line.text.ends_with('\r') ? "\r\n" : "\n"; }

std::size_t skipSpace(std::string_view text, std::size_t at) {
  while (at < text.size() && g_ascii_isspace(text[at])) ++at;
  return at;
}

// The group a header line ("[name]", spaces or tabs after it) opens; nullopt for other lines.
// Like GKeyFile, which steps by UTF-8 characters after the "]", stray continuation bytes there
// are passed over.
std::optional<std::string_view> headerName(std::string_view text) {
  if (!text.starts_with('[')) return std::nullopt;
  const std::size_t close = text.find(']');
  if (close == std::string_view::npos) return std::nullopt;
  const auto isContinuation = [](char c) { return (static_cast<unsigned char>(c) & 0xc0) == 0x80; };
  for (std::size_t at = close + 1; at < text.size(); ++at) {
    if (!isContinuation(text[at]) && text[at] != ' ' && text[at] != '\t') return std::nullopt;
  }
  return text.substr(1, close - 1);
}

// Where the value starts in a "key = value" line for `key`; nullopt for any other line.
std::optional<std::size_t> valueOffset(std::string_view text, std::string_view key) {
  const std::size_t equals = text.find('=');
  if (equals == std::string_view::npos || equals == 0) return std::nullopt;
  std::size_t keyEnd = equals;
  while (keyEnd > 0 && g_ascii_isspace(text[keyEnd - 1])) --keyEnd;
  if (text.substr(0, keyEnd) != key) return std::nullopt;
  return skipSpace(text, equals + 1);
}

using Settings = std::map<std::string, std::map<std::string, std::string>>;

// Every value of `keyFile` by group and key, as GKeyFile reads them.
Settings settingsOf(GKeyFile* keyFile) {
  Settings settings;
  const GStrvPtr groups(g_key_file_get_groups(keyFile, nullptr));
  for (gchar** name = groups.get(); *name != nullptr; ++name) {
    auto& values = settings[*name];
    const GStrvPtr keys(g_key_file_get_keys(keyFile, *name, nullptr, nullptr));
    for (gchar** key = keys.get(); key && *key != nullptr; ++key) {
      const GCharPtr value(g_key_file_get_value(keyFile, *name, *key, nullptr));
      values[*key] = value ? value.get() : "";
    }
  }
  return settings;
}

}  // namespace

std::string withKeyValue(std::string_view contents, std::string_view group, std::string_view key,
                         std::string_view value) {
  // GKeyFile reads the last line for a key, across every section of the group, and ignores
  // leading spaces; a new key goes after the last line of the group's last section.
  std::optional<std::size_t> valueStart;
  std::size_t valueEnd = 0;
  std::optional<Line> last;
  Line lastLine;
  bool inGroup = false;
  for (std::size_t at = 0; at < contents.size();) {
    const Line line = lineAt(contents, at);
    lastLine = line;
    at = line.terminated ? contents.find('\n', line.start) + 1 : contents.size();
    const std::size_t indent = skipSpace(line.text, 0);
    const std::string_view text = line.text.substr(indent);
    if (text.empty() || text.starts_with('#')) continue;
    if (const auto name = headerName(text)) {
      inGroup = *name == group;
      if (inGroup) last = line;
      continue;
    }
    if (!inGroup || text.find('=') == std::string_view::npos) continue;
    last = line;
    if (const auto offset = valueOffset(text, key)) {
      valueStart = line.start + indent + *offset;
      valueEnd = line.end();
    }
  }
  std::string edited(contents);
  if (valueStart) return edited.replace(*valueStart, valueEnd - *valueStart, value);
  std::string added = std::string(key) + "=" + std::string(value) + "\n";
  if (last) {
    const std::size_t after = last->terminated ? contents.find('\n', last->start) + 1 : last->end();
    return edited.insert(after, last->terminated ? added : lineBreakAfter(*last) + added);
  }
  if (!edited.empty() && !edited.ends_with('\n')) edited += lineBreakAfter(lastLine);
  if (!edited.empty() && !edited.ends_with("\n\n")) edited += '\n';
  return edited + "[" + std::string(group) + "]\n" + added;
}

std::string keyFileTextWith(std::string_view contents, std::string_view group,
                            const std::map<std::string, std::string, std::less<>>& values,
                            GKeyFile* expected) {
  std::string text(contents);
  for (const auto& [key, value] : values) text = withKeyValue(text, group, key, value);
  const GKeyFilePtr reread(g_key_file_new());
  if (g_key_file_load_from_data(reread.get(), text.data(), text.size(), keyFileLoadFlags,
                                nullptr) &&
      settingsOf(reread.get()) == settingsOf(expected)) {
    return text;
  }
  gsize length = 0;
  const GCharPtr data(g_key_file_to_data(expected, &length, nullptr));
  return {data.get(), length};
}
