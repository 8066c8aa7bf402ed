#include "platform/foundation/NSLog.h"

#include <errno.h>  // program_invocation_short_name
#include <syslog.h>
#include <unistd.h>

#include <chrono>
#include <cstdio>
#include <ctime>
#include <mutex>
#include <string>

namespace {

// The innermost live capture; the system logs from its main thread only.
LogCaptureForTesting* activeCapture = nullptr;

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

}  // namespace

void NSLog(std::string_view message) {
  if (activeCapture != nullptr) {
    activeCapture->captured.emplace_back(message);
    return;
  }
  std::string line = timestamp();
  line += ' ';
  line += program_invocation_short_name;
  line += '[' + std::to_string(getpid()) + "] ";
  line += message;
  if (line.back() != '\n') line += '\n';
  // One write per line, so lines of processes sharing the terminal do not interleave.
  std::fwrite(line.data(), 1, line.size(), stderr);
  std::fflush(stderr);

  openSystemLogOnce();
  // Constant format: the message is data, never a format string. syslog ends the entry itself.
  std::string_view entry = message;
  if (!entry.empty() && entry.back() == '\n') entry.remove_suffix(1);
  syslog(LOG_NOTICE, "%.*s", static_cast<int>(entry.size()), entry.data());
}

LogCaptureForTesting::LogCaptureForTesting() {
  previous = activeCapture;
  activeCapture = this;
}

LogCaptureForTesting::~LogCaptureForTesting() { activeCapture = previous; }
