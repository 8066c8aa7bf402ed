#pragma once
// An exclusive advisory lock (flock) held on a small file of its own, for a read-modify-write of
// a file that is replaced by rename and so cannot carry a lock itself. The lock goes with the
// object. Waiting is bounded: a holder that hangs never hangs its waiters.

#include <chrono>
#include <string>

#include "platform/foundation/UniqueFd.h"

class FileLock {
 public:
  // Opens `lockPath` (created 0600 when missing; a link is refused) and waits up to `patience`
  // for the lock, trying again every few milliseconds.
  FileLock(const std::string& lockPath, std::chrono::milliseconds patience);

  bool held() const { return isHeld; }
  // True when another holder kept the lock for all of `patience`.
  bool timedOut() const { return gaveUp; }
  // Why the lock is not held, for a log line; empty when it is.
  const std::string& problem() const { return why; }

 private:
  UniqueFd fd;
  bool isHeld = false;
  bool gaveUp = false;
  std::string why;
};
