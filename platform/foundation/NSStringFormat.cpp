#include <cstdarg>
#include <cstdio>
#include <string>

#include "platform/foundation/NSString.h"

std::string stringWithFormat(const char* format, ...) {
  va_list arguments;
  va_start(arguments, format);
  va_list again;
  va_copy(again, arguments);

  // Most strings fit the first try; longer ones are measured by that try and printed once more.
  char buffer[256];
  const int length = std::vsnprintf(buffer, sizeof buffer, format, arguments);
  va_end(arguments);
  std::string result;
  if (length >= 0 && static_cast<std::size_t>(length) < sizeof buffer) {
    result.assign(buffer, static_cast<std::size_t>(length));
  } else if (length >= 0) {
    result.resize(static_cast<std::size_t>(length));
    // C++17 allows writing the terminating NUL at data()[size()].
    std::vsnprintf(result.data(), result.size() + 1, format, again);
  }
  // A negative length is an encoding error: the result stays empty rather than half printed.
  va_end(again);
  return result;
}
