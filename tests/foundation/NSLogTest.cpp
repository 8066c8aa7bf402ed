#include "platform/foundation/NSLog.h"

#include <errno.h>
#include <gtest/gtest.h>
#include <unistd.h>

#include <regex>
#include <string>
#include <utility>
#include <vector>

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
  EXPECT_TRUE(std::regex_match(written, std::regex(prefix + "%s ended\n" + prefix +
                                                   R"(one\\ntwo\n)")))
      << written;
}
