#include "platform/foundation/FileLock.h"

#include <fcntl.h>
#include <glib.h>
#include <sys/file.h>

#include <cerrno>
#include <thread>

namespace {

constexpr auto retryInterval = std::chrono::milliseconds(10);

}  // namespace

FileLock::FileLock(const std::string& lockPath, std::chrono::milliseconds patience)
    : fd(open(lockPath.c_str(), O_RDWR | O_CREAT | O_NOFOLLOW | O_NONBLOCK | O_NOCTTY | O_CLOEXEC,
              0600)) {
  if (!fd.valid()) {
    why = g_strerror(errno);
    return;
  }
  const auto deadline = std::chrono::steady_clock::now() + patience;
  while (flock(fd.get(), LOCK_EX | LOCK_NB) != 0) {
    if (errno == EINTR) continue;
    if (errno != EWOULDBLOCK) {
      why = g_strerror(errno);
      return;
    }
    if (std::chrono::steady_clock::now() >= deadline) {
      gaveUp = true;
      why = "another process has held it for " + std::to_string(patience.count()) + " ms";
      return;
    }
    std::this_thread::sleep_for(retryInterval);
  }
  isHeld = true;
}
