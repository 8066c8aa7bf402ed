#pragma once
// The one observer of a model object: its view. Each setObserver goes through here.

#include <string>
#include <string_view>

#include "platform/foundation/NSLog.h"

// Points `slot` at `observer` (nullptr detaches). An observer that replaces another one is a
// fault of the views, which would leave the first deaf: logged.
template <class Observer>
void attachObserver(Observer*& slot, Observer* observer, std::string_view owner) {
  if (observer != nullptr && slot != nullptr && slot != observer) {
    NSLog(std::string(owner) + ": a second observer replaces the first, which hears no more");
  }
  slot = observer;
}
