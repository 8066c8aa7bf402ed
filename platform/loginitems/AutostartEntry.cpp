#include "platform/loginitems/AutostartEntry.h"

#include <glib.h>

#include "platform/foundation/GLibPtr.h"
#include "platform/foundation/NSBundle.h"

namespace {

constexpr const char* group = "Desktop Entry";
// Characters that make a desktop entry's Exec argument need quotes.
constexpr std::string_view reserved = " \t\n\"'\\><~|&;$*?#()`";
// Inside double quotes these take a backslash.
constexpr std::string_view escapedInQuotes = "\"`$\\";

// A key that the session reads as a boolean: a missing or unreadable value is `fallback`.
bool booleanOr(GKeyFile* file, const char* key, bool fallback) {
  GErrorOut error;
  const gboolean value = g_key_file_get_boolean(file, group, key, error.out());
  return error.get() == nullptr ? value != FALSE : fallback;
}

bool isFieldCode(std::string_view argument) {
  return argument.size() == 2 && argument[0] == '%' && argument[1] != '%';
}

// The argument with "%%" read as "%"; nullopt when a field code sits inside it.
std::optional<std::string> withoutPercentEscapes(std::string_view argument) {
  std::string result;
  for (std::size_t i = 0; i < argument.size(); ++i) {
    if (argument[i] == '%') {
      if (i + 1 >= argument.size() || argument[i + 1] != '%') return std::nullopt;
      ++i;
    }
    result += argument[i];
  }
  return result;
}

// The program of an Exec value: the first argument that is not a field code such as %U.
EntryProgram programOfExec(const char* exec) {
  gchar** parsed = nullptr;
  GErrorOut error;
  if (!g_shell_parse_argv(exec, nullptr, &parsed, error.out())) {
    if (g_error_matches(error.get(), G_SHELL_ERROR, G_SHELL_ERROR_EMPTY_STRING)) return {};
    return {std::nullopt, "Exec does not parse: " + error.message()};
  }
  const GStrvPtr argv(parsed);
  for (gchar** argument = argv.get(); *argument != nullptr; ++argument) {
    if (isFieldCode(*argument)) continue;
    std::optional<std::string> program = withoutPercentEscapes(*argument);
    if (!program) return {std::nullopt, "Exec has a field code inside its program"};
    if (!g_path_is_absolute(program->c_str())) return {};
    return {std::move(program), {}};
  }
  return {};
}

bool startsAtLogin(GKeyFile* file) {
  const GCharPtr type(g_key_file_get_string(file, group, "Type", nullptr));
  if (!type || std::string_view(type.get()) != "Application") return false;
  return !booleanOr(file, "Hidden", false) && booleanOr(file, "X-GNOME-Autostart-enabled", true);
}

std::string execArgument(std::string_view path) {
  std::string percentEscaped;
  for (char c : path) {
    percentEscaped += c;
    if (c == '%') percentEscaped += '%';
  }
  if (percentEscaped.find_first_of(reserved) == std::string::npos) return percentEscaped;
  std::string quoted = "\"";
  for (char c : percentEscaped) {
    if (escapedInQuotes.find(c) != std::string_view::npos) quoted += '\\';
    quoted += c;
  }
  return quoted + '"';
}

bool hasControlCharacter(std::string_view text) {
  for (const char c : text) {
    if (static_cast<unsigned char>(c) < 0x20 || c == 0x7f) return true;
  }
  return false;
}

}  // namespace

EntryProgram programOfEntry(std::string_view contents) {
  // GKeyFile takes the text as UTF-8 without checking it all; a NUL byte would also cut it short.
  if (!g_utf8_validate_len(contents.data(), contents.size(), nullptr)) {
    return {std::nullopt, "not UTF-8 text"};
  }
  const GKeyFilePtr file(g_key_file_new());
  GErrorOut error;
  if (!g_key_file_load_from_data(file.get(), contents.data(), contents.size(), G_KEY_FILE_NONE,
                                 error.out())) {
    return {std::nullopt, error.message()};
  }
  if (!g_key_file_has_group(file.get(), group)) return {std::nullopt, "no [Desktop Entry] group"};
  if (!startsAtLogin(file.get())) return {};
  const GCharPtr exec(g_key_file_get_string(file.get(), group, "Exec", error.out()));
  if (g_error_matches(error.get(), G_KEY_FILE_ERROR, G_KEY_FILE_ERROR_KEY_NOT_FOUND)) return {};
  if (!exec) return {std::nullopt, "Exec is unreadable: " + error.message()};
  return programOfExec(exec.get());
}

std::optional<std::string> entryStartingProgram(const std::string& programPath) {
  if (!g_utf8_validate(programPath.data(), static_cast<gssize>(programPath.size()), nullptr) ||
      hasControlCharacter(programPath)) {
    return std::nullopt;
  }
  const GKeyFilePtr file(g_key_file_new());
  g_key_file_set_string(file.get(), group, "Type", "Application");
  g_key_file_set_string(file.get(), group, "Name", NSBundle::mainBundle().identity().name.c_str());
  g_key_file_set_string(file.get(), group, "Exec", execArgument(programPath).c_str());
  g_key_file_set_boolean(file.get(), group, "X-GNOME-Autostart-enabled", TRUE);
  gsize length = 0;
  const GCharPtr text(g_key_file_to_data(file.get(), &length, nullptr));
  return std::string(text.get(), length);
}
