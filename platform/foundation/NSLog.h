#pragma once
// The system's log: one constant message per call, to standard error in the usual shape
// ("<date time> pyrelle[<pid>] message") and to syslog (LOG_USER, with the pid). A newline is
// added only when the message lacks one.

#include <string>
#include <string_view>
#include <vector>

void NSLog(std::string_view message);

// While one exists, messages are collected here, exactly as passed, instead of being written.
class LogCaptureForTesting {
 public:
  LogCaptureForTesting();
  ~LogCaptureForTesting();
  LogCaptureForTesting(const LogCaptureForTesting&) = delete;
  LogCaptureForTesting& operator=(const LogCaptureForTesting&) = delete;

  const std::vector<std::string>& lines() const { return captured; }
  void clear() { captured.clear(); }

 private:
  friend void NSLog(std::string_view message);
  std::vector<std::string> captured;
  LogCaptureForTesting* previous;
};
