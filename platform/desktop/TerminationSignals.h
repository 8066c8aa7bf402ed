#pragma once
// Ends the run cleanly when the session asks: SIGTERM at logout, SIGINT from a terminal, SIGHUP
// when the terminal goes. The application terminates as Quit does, so the delegate goes and the
// SMC connection is closed with its log line, instead of the process dying mid-pass.

#include <vector>

class TerminationSignals {
 public:
  TerminationSignals();
  ~TerminationSignals();
  TerminationSignals(const TerminationSignals&) = delete;
  TerminationSignals& operator=(const TerminationSignals&) = delete;

 private:
  std::vector<unsigned> sources;
};
