#include "tests/support/ScopedAppleSMC.h"

#include "platform/iokit/IORegistry.h"

ScopedAppleSMC::ScopedAppleSMC() : scripted(std::make_shared<ScriptedSMCService>()) {
  IORegistry::shared().publish("AppleSMC", scripted);
}

ScopedAppleSMC::~ScopedAppleSMC() { IORegistry::shared().withdraw(scripted); }
