#include "platform/foundation/NSPathUtilities.h"

#include <gtest/gtest.h>
#include <stdlib.h>

#include <string>
#include <vector>

#include "platform/foundation/NSLog.h"

TEST(NSPathUtilitiesTest, OnlyAnAbsoluteXdgConfigHomeCountsAndARelativeOneIsLoggedOnce) {
  const std::string home = getenv("HOME") != nullptr ? getenv("HOME") : "";
  LogCaptureForTesting log;
  setenv("XDG_CONFIG_HOME", "/tmp/a\nb", 1);
  EXPECT_EQ(userConfigDirectory(), "/tmp/a\nb");
  for (const char* ignored : {"", "relative/config", "relative/config"}) {
    setenv("XDG_CONFIG_HOME", ignored, 1);
    EXPECT_EQ(userConfigDirectory(), home + "/.config") << ignored;
  }
  EXPECT_EQ(log.lines(), std::vector<std::string>{"XDG_CONFIG_HOME is not an absolute path "
                                                  "(relative/config); using ~/.config instead."});
  unsetenv("XDG_CONFIG_HOME");  // this test program reads it nowhere else
}
