#include "platform/foundation/NSString.h"

#include <glib.h>

#include <string_view>

#include "platform/foundation/GLibPtr.h"

namespace {

NSComparisonResult orderOf(int difference) {
  if (difference < 0) return NSOrderedAscending;
  if (difference > 0) return NSOrderedDescending;
  return NSOrderedSame;
}

NSComparisonResult compareBytes(std::string_view string, std::string_view other) {
  return orderOf(string.compare(other));
}

// The canonical decomposition of `text`, or null when it is not valid UTF-8. A NUL byte counts
// as invalid: the normaliser would stop there and the rest would be ignored.
GCharPtr decomposed(std::string_view text) {
  if (!g_utf8_validate_len(text.data(), text.size(), nullptr)) return nullptr;
  return GCharPtr(g_utf8_normalize(text.data(), static_cast<gssize>(text.size()), G_NORMALIZE_NFD));
}

}  // namespace

NSComparisonResult compare(std::string_view string, std::string_view other) {
  if (string == other) return NSOrderedSame;
  if (string.empty() || other.empty()) return compareBytes(string, other);
  const GCharPtr left = decomposed(string);
  const GCharPtr right = decomposed(other);
  if (!left || !right) return compareBytes(string, other);
  // UTF-8 byte order (unsigned) is code point order, so the decomposed forms order as their
  // characters do.
  return compareBytes(left.get(), right.get());
}
