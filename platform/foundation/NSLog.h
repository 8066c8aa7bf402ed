#pragma once
// The system's log: one constant message per call, to standard error in the usual shape
// ("<date time> pyrelle[<pid>] message") and to syslog (LOG_USER, with the pid). A newline is
// added only when the message lacks one. What is written never holds a control character but
// that final newline: any other is escaped, so that no message can forge a log line.

#include <string>
#include <string_view>
#include <vector>

void NSLog(std::string_view message);

// Text from outside the program (file contents, paths, names, library messages) as it may
// appear inside a log message: control characters, line separators and bytes that are not
// UTF-8 escaped ("\n", "\x1B", "\u2028"), and at most about 300 bytes, the rest replaced by
// "...[N bytes]". Every log message that carries outside text passes it through here.
std::string loggable(std::string_view outsideText);

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
