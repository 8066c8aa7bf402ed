#include "platform/foundation/NSLog.h"

#include <errno.h>
#include <gtest/gtest.h>
#include <unistd.h>

#include <regex>
#include <string>

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
