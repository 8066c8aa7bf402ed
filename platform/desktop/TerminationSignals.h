#pragma once
// Ends the run cleanly when the session asks: SIGTERM at logout, SIGINT from a terminal, SIGHUP
// when the terminal goes, and the session bus closing (logged), as it does at logout too. The
// application terminates as Quit does, so the delegate goes and the SMC connection is closed
// with its log line, instead of the process dying mid-pass.

#include <gio/gio.h>

#include <vector>

#include "platform/foundation/GLibPtr.h"

class TerminationSignals {
 public:
  // `sessionBus` may be nullptr: only the signals end the run then.
  explicit TerminationSignals(GDBusConnection* sessionBus);
  ~TerminationSignals();
  TerminationSignals(const TerminationSignals&) = delete;
  TerminationSignals& operator=(const TerminationSignals&) = delete;

 private:
  std::vector<unsigned> sources;
  GObjectPtr<GDBusConnection> bus;
  gulong closedHandler = 0;
};
