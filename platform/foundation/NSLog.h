#pragma once
// The system's log: one constant message per call, to standard error in the usual shape
// ("<date time> pyrelle[<pid>] message") and to syslog (LOG_USER, with the pid). A newline is
// added only when the message lacks one. What is written never holds a control character but
// that final newline: any other is escaped, so that no message can forge a log line. A message
// repeated in a flood is written a few times, then counted (LogRepeatFilter.h). Safe to call
// from any thread.

#include <chrono>
#include <functional>
#include <string>
#include <string_view>
#include <vector>

void NSLog(std::string_view message);

// Replaces the steady clock that times repeated messages (nullptr: the steady clock again), and
// forgets the messages seen so far.
void setLogClockForTesting(std::function<std::chrono::steady_clock::time_point()> clock);

// Text from outside the program (file contents, paths, names, library messages) as it may
// appear inside a log message: control characters, line separators and bytes that are not
// UTF-8 escaped ("\n", "\x1B", "\u2028"), and at most about 300 bytes, the rest replaced by
// "...[N bytes]". Every log message that carries outside text passes it through here.
std::string loggable(std::string_view outsideText);

// While one exists, messages are collected here, exactly as passed and each one, instead of being
// written.
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
