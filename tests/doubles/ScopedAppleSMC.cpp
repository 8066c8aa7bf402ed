#include "platform/iokit/IORegistry.h"
#include "tests/doubles/ScriptedSMCService.h"

ScopedAppleSMC::ScopedAppleSMC() : scripted(std::make_shared<ScriptedSMCService>()) {
  IORegistry::shared().publish("AppleSMC", scripted);
}

ScopedAppleSMC::~ScopedAppleSMC() { IORegistry::shared().withdraw(scripted); }
