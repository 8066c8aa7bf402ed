#include "platform/foundation/NSLog.h"

#include <errno.h>
#include <gtest/gtest.h>
#include <unistd.h>

#include <regex>
#include <string>
#include <utility>
#include <vector>

TEST(NSLogTest, WritesOneStampedLinePerMessageAddingANewlineOnlyWhenMissing) {
  testing::internal::CaptureStderr();
  NSLog("Could not open the SMC.");
  NSLog("%s already ended\n");  // a message, never a format
  const std::string written = testing::internal::GetCapturedStderr();
  const std::string prefix = R"(\d{4}-\d\d-\d\d \d\d:\d\d:\d\d\.\d{3} )" +
                             std::string(program_invocation_short_name) + R"(\[)" +
                             std::to_string(getpid()) + R"(\] )";
  EXPECT_TRUE(std::regex_match(written, std::regex(prefix + R"(Could not open the SMC\.\n)" +
                                                   prefix + "%s already ended\n")))
      << written;
}

TEST(NSLogTest, OutsideTextCannotForgeALineNorFloodTheLog) {
  const std::vector<std::pair<std::string, std::string>> cases = {
      {"/home/zoë/.config", "/home/zoë/.config"},
      {"a\nFake line\r\tb", "a\\nFake line\\r\\tb"},
      {"\x1b[2J\x7f", "\\x1B[2J\\x7F"},
      {std::string("nul\0byte", 8), "nul\\x00byte"},
      {"latin1 caf\xe9", "latin1 caf\\xE9"},
      {"next\u0085line\u2028sep", "next\\u0085line\\u2028sep"},
  };
  for (const auto& [text, shown] : cases) EXPECT_EQ(loggable(text), shown);

  const std::string flood(10 * 1024 * 1024, 'x');
  EXPECT_EQ(loggable(flood), std::string(300, 'x') + "...[10485760 bytes]");

  // What escapes the helper is still escaped on the way out; only the last newline stays.
  testing::internal::CaptureStderr();
  NSLog("one\ntwo\n");
  const std::string written = testing::internal::GetCapturedStderr();
  EXPECT_TRUE(written.ends_with("] one\\ntwo\n")) << written;
}
