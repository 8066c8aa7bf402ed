#pragma once
// Publishes a scripted service as the machine's "AppleSMC" for the scope of a test, and
// withdraws that service at the end. It closes nothing: a connection the test left open stays
// open (and keeps the service alive), as withdrawing a service does in the registry.

#include <memory>

#include "platform/iokit/IORegistry.h"
#include "tests/support/ScriptedSMCService.h"

class ScopedAppleSMC {
 public:
  ScopedAppleSMC() { IORegistry::shared().publish("AppleSMC", scripted); }
  ~ScopedAppleSMC() { IORegistry::shared().withdraw(scripted); }
  ScopedAppleSMC(const ScopedAppleSMC&) = delete;
  ScopedAppleSMC& operator=(const ScopedAppleSMC&) = delete;

  ScriptedSMCService& service() { return *scripted; }

 private:
  std::shared_ptr<ScriptedSMCService> scripted = std::make_shared<ScriptedSMCService>();
};
