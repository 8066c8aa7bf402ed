#pragma once
// Keeps a flood of one message out of the log. Each distinct message is written at most
// `copiesPerWindow` times within `window` of its first copy; one line then says that further
// copies are being counted, and once the window is over one line gives their number (written
// before the next message logged after that, or when the run ends). Distinct messages are never
// held back, however they interleave.

#include <chrono>
#include <cstdint>
#include <map>
#include <string>
#include <vector>

class LogRepeatFilter {
 public:
  using Clock = std::chrono::steady_clock;
  static constexpr int copiesPerWindow = 5;
  static constexpr auto window = std::chrono::seconds(10);

  // The lines to write, in order, for `message` logged at `now`: the counts of floods whose
  // window is over, then the message itself or the notice that its copies are being counted
  // (or neither, while they are).
  std::vector<std::string> admit(const std::string& message, Clock::time_point now);
  // The counts of every flood still being counted, forgetting them all: for the end of the run.
  std::vector<std::string> flush();
  // Forgets every message seen, without a word about any.
  void reset() { recent.clear(); }

 private:
  struct Tally {
    Clock::time_point since;
    int written = 0;
    std::uint64_t held = 0;
  };
  void forget(std::map<std::string, Tally>::iterator entry, std::vector<std::string>& lines);

  // The messages of the current windows; a few dozen at most.
  std::map<std::string, Tally> recent;
};
