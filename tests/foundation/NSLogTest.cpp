#include "platform/foundation/NSLog.h"

#include <errno.h>
#include <glib.h>
#include <gtest/gtest.h>
#include <unistd.h>

#include <chrono>
#include <cstdlib>
#include <regex>
#include <sstream>
#include <string>
#include <utility>
#include <vector>

#include "platform/foundation/LibraryLog.h"
#include "tests/support/ManualClock.h"

TEST(NSLogTest, OneStampedLinePerMessageWithOutsideTextEscapedAndCapped) {
  const std::vector<std::pair<std::string, std::string>> cases = {
      {"/home/zoë/.config", "/home/zoë/.config"},
      {"a\nFake line\r\tb", "a\\nFake line\\r\\tb"},
      {"\x1b[2J\x7f", "\\x1B[2J\\x7F"},
      {std::string("nul\0byte", 8), "nul\\x00byte"},
      {"latin1 caf\xe9", "latin1 caf\\xE9"},
      {"next\u0085line\u2028sep", "next\\u0085line\\u2028sep"},
      {std::string(10 * 1024 * 1024, 'x'), std::string(300, 'x') + "...[10485760 bytes]"},
  };
  for (const auto& [text, shown] : cases) EXPECT_EQ(loggable(text), shown);

  // A message is never a format; only a last newline stays one.
  testing::internal::CaptureStderr();
  NSLog("%s ended\n");
  NSLog("one\ntwo");
  const std::string written = testing::internal::GetCapturedStderr();
  const std::string prefix = R"(\d{4}-\d\d-\d\d \d\d:\d\d:\d\d\.\d{3} )" +
                             std::string(program_invocation_short_name) + R"(\[)" +
                             std::to_string(getpid()) + R"(\] )";
  EXPECT_TRUE(
      std::regex_match(written, std::regex(prefix + "%s ended\n" + prefix + R"(one\\ntwo\n)")))
      << written;
}

// A peer calling a menu method in a loop made a library warn 193,274 times in 30 s.
TEST(NSLogTest, AFloodOfRepeatedMessagesIsCountedAndOtherMessagesStillGetThrough) {
  ManualClock clock;
  setLogClockForTesting(clock.function());
  testing::internal::CaptureStderr();
  for (int call = 0; call < 100000; ++call) NSLog(call % 2 == 0 ? "first\nhalf" : "second half");
  NSLog("something else");
  clock.advance(std::chrono::seconds(10));
  NSLog("later");
  NSLog("second half");
  std::vector<std::string> written;  // the messages, without their stamps
  std::istringstream lines(testing::internal::GetCapturedStderr());
  for (std::string line; std::getline(lines, line);)
    written.push_back(line.substr(line.find("] ") + 2));
  // A flood still being counted when the program ends gets its count then.
  EXPECT_EXIT(
      {
        for (int copy = 0; copy < 8; ++copy) NSLog("at the end");
        std::exit(0);
      },
      testing::ExitedWithCode(0), "Repeated message, 3 more copies not written: \"at the end\"");
  setLogClockForTesting(nullptr);

  std::vector<std::string> expected;
  for (int copy = 0; copy < 5; ++copy)
    expected.insert(expected.end(), {R"(first\nhalf)", "second half"});
  expected.insert(expected.end(),
                  {R"(Repeated message, counting further copies: "first\nhalf")",
                   R"(Repeated message, counting further copies: "second half")", "something else",
                   R"(Repeated message, 49995 more copies not written: "first\nhalf")",
                   R"(Repeated message, 49995 more copies not written: "second half")", "later",
                   "second half"});
  EXPECT_EQ(written, expected);
}

TEST(NSLogTest, LibraryMessagesAreWrittenLikeOursAndAnErrorStillEndsTheProgram) {
  routeLibraryLogsToNSLog();
  {
    LogCaptureForTesting log;
    g_log("LIBDBUSMENU-GLIB", G_LOG_LEVEL_WARNING, "Unknown item\n\x1b[2J%d", 7);
    g_log_structured("Gtk", G_LOG_LEVEL_CRITICAL, "MESSAGE", "%s", "bad\tvalue");
    g_message("no domain");
    g_log("Quiet", G_LOG_LEVEL_DEBUG, "not asked for");
    EXPECT_EQ(log.lines(),
              (std::vector<std::string>{R"(LIBDBUSMENU-GLIB-WARNING: Unknown item\n\x1B[2J7)",
                                        R"(Gtk-CRITICAL: bad\tvalue)", "Message: no domain"}));
  }
  EXPECT_DEATH(g_log("Lib", G_LOG_LEVEL_ERROR, "cannot go on"), "Lib-ERROR: cannot go on");
}
