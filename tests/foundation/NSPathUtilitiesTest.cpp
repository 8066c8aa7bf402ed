#include "platform/foundation/NSPathUtilities.h"

#include <gtest/gtest.h>
#include <stdlib.h>

#include <string>
#include <vector>

#include "platform/foundation/NSLog.h"

TEST(NSPathUtilitiesTest, OnlyAnAbsoluteXdgConfigHomeCounts) {
  const std::string home = getenv("HOME") != nullptr ? getenv("HOME") : "";
  const char* const saved = getenv("XDG_CONFIG_HOME");
  const std::string previous = saved != nullptr ? saved : "";
  LogCaptureForTesting log;

  setenv("XDG_CONFIG_HOME", "/tmp/a\nb", 1);
  EXPECT_EQ(userConfigDirectory(), "/tmp/a\nb");
  for (const char* ignored : {"", "relative/config", "relative/config"}) {
    setenv("XDG_CONFIG_HOME", ignored, 1);
    EXPECT_EQ(userConfigDirectory(), home + "/.config") << ignored;
  }
  // One line for the run, not one per look-up.
  EXPECT_EQ(log.lines(), std::vector<std::string>{"XDG_CONFIG_HOME is not an absolute path "
                                                  "(relative/config); using ~/.config instead."});
  if (saved != nullptr) setenv("XDG_CONFIG_HOME", previous.c_str(), 1);
  if (saved == nullptr) unsetenv("XDG_CONFIG_HOME");
}
