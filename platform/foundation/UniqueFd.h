#pragma once
// Owns one file descriptor and closes it when let go.

#include <unistd.h>

#include <utility>

class UniqueFd {
 public:
  UniqueFd() = default;
  explicit UniqueFd(int owned) : fd(owned) {}
  ~UniqueFd() { reset(); }
  UniqueFd(UniqueFd&& other) noexcept : fd(std::exchange(other.fd, -1)) {}
  UniqueFd& operator=(UniqueFd&& other) noexcept {
    reset(std::exchange(other.fd, -1));
    return *this;
  }
  UniqueFd(const UniqueFd&) = delete;
  UniqueFd& operator=(const UniqueFd&) = delete;

  int get() const { return fd; }
  bool valid() const { return fd >= 0; }
  // Gives up ownership without closing.
  int release() { return std::exchange(fd, -1); }
  void reset(int replacement = -1) {
    if (fd >= 0) ::close(fd);
    fd = replacement;
  }

 private:
  int fd = -1;
};
