#include "platform/foundation/NSLog.h"

#include <errno.h>  // program_invocation_short_name
#include <glib.h>
#include <syslog.h>
#include <unistd.h>

#include <chrono>
#include <cstdio>
#include <ctime>
#include <functional>
#include <mutex>
#include <string>

#include "platform/foundation/LogRepeatFilter.h"

namespace {

// The innermost live capture; the system logs from its main thread only.
LogCaptureForTesting* activeCapture = nullptr;

constexpr std::size_t maximumOutsideBytes = 300;
// A whole line stays below what syslog and terminals handle comfortably.
constexpr std::size_t maximumMessageBytes = 4096;

bool mustEscape(gunichar c) {
  return c < 0x20 || (c >= 0x7f && c < 0xa0) || c == 0x2028 || c == 0x2029;
}

// A character as "\n", "\x1B" or "\u2028"; a byte that is not UTF-8 as "\xFF".
void appendEscape(std::string& shown, gunichar c, bool isByte) {
  switch (c) {
    case '\n':
      shown += "\\n";
      return;
    case '\r':
      shown += "\\r";
      return;
    case '\t':
      shown += "\\t";
      return;
  }
  char escape[16];
  if (isByte || c < 0x80) {
    std::snprintf(escape, sizeof escape, "\\x%02X", c);
  } else {
    std::snprintf(escape, sizeof escape, "\\u%04X", c);
  }
  shown += escape;
}

// `text` with control characters, line separators and invalid UTF-8 escaped, cut at about
// `maximumBytes` (bytes of the result) with the full size noted.
std::string escaped(std::string_view text, std::size_t maximumBytes) {
  std::string shown;
  std::size_t at = 0;
  while (at < text.size()) {
    if (shown.size() >= maximumBytes) {
      return shown + "...[" + std::to_string(text.size()) + " bytes]";
    }
    const char* const next = text.data() + at;
    const auto left = static_cast<gssize>(text.size() - at);
    const gunichar c = g_utf8_get_char_validated(next, left);
    if (c == static_cast<gunichar>(-1) || c == static_cast<gunichar>(-2)) {
      appendEscape(shown, static_cast<unsigned char>(*next), true);
      ++at;
      continue;
    }
    const auto length = static_cast<std::size_t>(g_utf8_skip[static_cast<unsigned char>(*next)]);
    if (mustEscape(c)) {
      appendEscape(shown, c, false);
    } else {
      shown.append(next, length);
    }
    at += length;
  }
  return shown;
}

// "2026-12-06 09:30:01.123" in local time.
std::string timestamp() {
  const auto now = std::chrono::system_clock::now();
  const std::time_t seconds = std::chrono::system_clock::to_time_t(now);
  const auto millis =
      std::chrono::duration_cast<std::chrono::milliseconds>(now.time_since_epoch()).count() % 1000;
  std::tm local{};
  localtime_r(&seconds, &local);
  char date[32];
  std::strftime(date, sizeof date, "%Y-%m-%d %H:%M:%S", &local);
  char withMillis[40];
  std::snprintf(withMillis, sizeof withMillis, "%s.%03d", date, static_cast<int>(millis));
  return withMillis;
}

// syslog keeps the identity pointer, so it must outlive every call: the process's own name does.
void openSystemLogOnce() {
  static std::once_flag opened;
  std::call_once(opened, [] { openlog(program_invocation_short_name, LOG_PID, LOG_USER); });
}

// One entry, already escaped, to standard error and syslog.
void write(const std::string& entry) {
  std::string line = timestamp();
  line += ' ';
  line += program_invocation_short_name;
  line += '[' + std::to_string(getpid()) + "] ";
  line += entry;
  line += '\n';
  // One write per line, so lines of processes sharing the terminal do not interleave.
  std::fwrite(line.data(), 1, line.size(), stderr);
  std::fflush(stderr);

  openSystemLogOnce();
  // Constant format: the message is data, never a format string. syslog ends the entry itself.
  syslog(LOG_NOTICE, "%s", entry.c_str());
}

// What every writer shares: the repeats seen and their clock, behind a lock, since libraries
// log from threads of their own. The counts still open are written when the program ends.
struct LogState {
  LogState() = default;
  LogState(const LogState&) = delete;
  LogState& operator=(const LogState&) = delete;
  ~LogState() {
    for (const std::string& line : repeats.flush()) write(line);
  }

  std::mutex mutex;
  LogRepeatFilter repeats;
  std::function<std::chrono::steady_clock::time_point()> clock;
};

LogState& logState() {
  static LogState state;
  return state;
}

}  // namespace

std::string loggable(std::string_view outsideText) {
  return escaped(outsideText, maximumOutsideBytes);
}

void NSLog(std::string_view message) {
  if (activeCapture != nullptr) {
    activeCapture->captured.emplace_back(message);
    return;
  }
  // The one newline that ends the entry is the log's own; any other would start a forged line.
  if (!message.empty() && message.back() == '\n') message.remove_suffix(1);
  const std::string entry = escaped(message, maximumMessageBytes);
  LogState& state = logState();
  const std::lock_guard lock(state.mutex);
  const auto now = state.clock ? state.clock() : std::chrono::steady_clock::now();
  for (const std::string& line : state.repeats.admit(entry, now)) write(line);
}

void setLogClockForTesting(std::function<std::chrono::steady_clock::time_point()> clock) {
  LogState& state = logState();
  const std::lock_guard lock(state.mutex);
  state.clock = std::move(clock);
  state.repeats.reset();
}

LogCaptureForTesting::LogCaptureForTesting() {
  previous = activeCapture;
  activeCapture = this;
}

LogCaptureForTesting::~LogCaptureForTesting() { activeCapture = previous; }
