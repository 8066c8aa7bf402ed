#include "platform/foundation/LogRepeatFilter.h"

#include <algorithm>

#include "platform/foundation/NSLog.h"

namespace {

// More distinct messages than this within one window are no flood of one: the oldest is
// forgotten (with its count) to make room.
constexpr std::size_t maximumTracked = 64;

}  // namespace

void LogRepeatFilter::forget(std::map<std::string, Tally>::iterator entry,
                             std::vector<std::string>& lines) {
  if (entry->second.held > 0) {
    lines.push_back("Repeated message, " + std::to_string(entry->second.held) +
                    " more copies not written: \"" + loggable(entry->first) + "\"");
  }
  recent.erase(entry);
}

std::vector<std::string> LogRepeatFilter::admit(const std::string& message, Clock::time_point now) {
  std::vector<std::string> lines;
  for (auto entry = recent.begin(); entry != recent.end();) {
    const auto next = std::next(entry);
    if (now - entry->second.since >= window) forget(entry, lines);
    entry = next;
  }
  auto found = recent.find(message);
  if (found == recent.end()) {
    if (recent.size() >= maximumTracked) {
      forget(std::min_element(
                 recent.begin(), recent.end(),
                 [](const auto& a, const auto& b) { return a.second.since < b.second.since; }),
             lines);
    }
    found = recent.emplace(message, Tally{now}).first;
  }
  Tally& tally = found->second;
  if (tally.written < copiesPerWindow) {
    ++tally.written;
    lines.push_back(message);
  } else if (tally.held++ == 0) {
    lines.push_back("Repeated message, counting further copies: \"" + loggable(message) + "\"");
  }
  return lines;
}

std::vector<std::string> LogRepeatFilter::flush() {
  std::vector<std::string> lines;
  while (!recent.empty()) forget(recent.begin(), lines);
  return lines;
}
