#include "platform/foundation/LibraryLog.h"

#include <glib.h>

#include <mutex>
#include <string>
#include <string_view>

#include "platform/foundation/NSLog.h"

namespace {

std::string_view textOf(const GLogField& field) {
  const auto* text = static_cast<const char*>(field.value);
  if (text == nullptr) return {};
  if (field.length < 0) return text;
  return {text, static_cast<std::size_t>(field.length)};
}

// GLib's own names for the levels.
const char* levelName(GLogLevelFlags level) {
  if ((level & G_LOG_LEVEL_ERROR) != 0) return "ERROR";
  if ((level & G_LOG_LEVEL_CRITICAL) != 0) return "CRITICAL";
  if ((level & G_LOG_LEVEL_WARNING) != 0) return "WARNING";
  if ((level & G_LOG_LEVEL_MESSAGE) != 0) return "Message";
  if ((level & G_LOG_LEVEL_INFO) != 0) return "INFO";
  return "DEBUG";
}

// GLib ends the program itself after an error has been written.
GLogWriterOutput writeToNSLog(GLogLevelFlags level, const GLogField* fields, gsize count,
                              gpointer) {
  const char* domain = nullptr;
  std::string_view message;
  for (gsize index = 0; index < count; ++index) {
    const std::string_view key = fields[index].key;
    if (key == "GLIB_DOMAIN") domain = static_cast<const char*>(fields[index].value);
    if (key == "MESSAGE") message = textOf(fields[index]);
  }
  if (g_log_writer_default_would_drop(level, domain)) return G_LOG_WRITER_HANDLED;
  std::string prefix = domain != nullptr ? loggable(domain) + "-" : std::string();
  NSLog(prefix + levelName(level) + ": " + loggable(message));
  return G_LOG_WRITER_HANDLED;
}

}  // namespace

void routeLibraryLogsToNSLog() {
  static std::once_flag installed;
  std::call_once(installed, [] { g_log_set_writer_func(writeToNSLog, nullptr, nullptr); });
}
