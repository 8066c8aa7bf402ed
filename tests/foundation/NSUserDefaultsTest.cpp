#include "platform/foundation/NSUserDefaults.h"

#include <gtest/gtest.h>
#include <stdlib.h>

#include <cstdint>
#include <filesystem>
#include <fstream>
#include <string>

#include "platform/foundation/NSLog.h"

namespace fs = std::filesystem;

namespace {

class NSUserDefaultsTest : public testing::Test {
 protected:
  NSUserDefaultsTest() {
    std::string pattern = (fs::temp_directory_path() / "pyrelle-defaults-XXXXXX").string();
    config = mkdtemp(pattern.data());
    settings = config + "/pyrelle/settings.ini";
  }
  ~NSUserDefaultsTest() override { fs::remove_all(config); }

  void writeSettings(const std::string& content) {
    fs::create_directories(config + "/pyrelle");
    std::ofstream(settings, std::ios::binary) << content;
  }
  static std::string contentOf(const std::string& file) {
    std::ifstream in(file, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), {}};
  }
  // What the application registers at launch.
  static NSUserDefaults& registered(NSUserDefaults& defaults) {
    defaults.registerDefaults({{"farenheit", false}});
    defaults.registerDefaults({{"refreshinterval", std::int64_t{5}}});
    return defaults;
  }

  std::string config;
  std::string settings;
  LogCaptureForTesting log;
};

}  // namespace

TEST_F(NSUserDefaultsTest, WrittenValuesOutliveTheStoreAndRegisteredOnesFillTheGaps) {
  {
    NSUserDefaults first(config);
    EXPECT_EQ(registered(first).integerForKey("refreshinterval"), 5);
    EXPECT_FALSE(fs::exists(settings));  // reading writes nothing
    first.setBool(true, "farenheit");
    first.setInteger(-12, "refreshinterval");
  }
  NSUserDefaults second(config);
  EXPECT_TRUE(registered(second).boolForKey("farenheit"));
  EXPECT_EQ(second.integerForKey("refreshinterval"), -12);
  EXPECT_EQ(second.integerForKey("never set"), 0);
  EXPECT_EQ(contentOf(settings), "[Pyrelle]\nfarenheit=true\nrefreshinterval=-12\n");
  EXPECT_EQ(std::distance(fs::directory_iterator(config + "/pyrelle"), {}), 1);  // no temp file
  EXPECT_TRUE(log.lines().empty());
}

TEST_F(NSUserDefaultsTest, AnUnreadableFileReadsAsEmptyAndIsKeptAsideBeforeItIsReplaced) {
  const std::string garbage = "refreshinterval=12\n[Pyrelle\n\xff";
  writeSettings(garbage);
  NSUserDefaults defaults(config);
  EXPECT_EQ(registered(defaults).integerForKey("refreshinterval"), 5);
  ASSERT_EQ(log.lines().size(), 1u);
  EXPECT_NE(log.lines()[0].find(settings), std::string::npos);
  EXPECT_EQ(contentOf(settings), garbage);

  defaults.setBool(true, "farenheit");
  EXPECT_EQ(contentOf(settings + ".corrupt"), garbage);
  EXPECT_NE(log.lines().back().find(settings + ".corrupt"), std::string::npos);
  EXPECT_TRUE(NSUserDefaults(config).boolForKey("farenheit"));
}

TEST_F(NSUserDefaultsTest, AValueOfTheWrongTypeIsLoggedOnceAndTheDefaultApplies) {
  writeSettings(
      "# mine\n[Pyrelle]\nfarenheit=maybe\nrefreshinterval=99999999999999999999\n"
      "padded = 7  \n");
  NSUserDefaults defaults(config);
  for (int read = 0; read < 2; ++read) {
    EXPECT_FALSE(registered(defaults).boolForKey("farenheit"));
    EXPECT_EQ(defaults.integerForKey("refreshinterval"), 5);
    EXPECT_EQ(defaults.integerForKey("padded"), 7);
  }
  ASSERT_EQ(log.lines().size(), 2u);
  EXPECT_NE(log.lines()[1].find(settings), std::string::npos);

  // Setting one key keeps the rest of the file as it was.
  defaults.setBool(true, "farenheit");
  const std::string written = contentOf(settings);
  for (const char* kept : {"# mine\n", "farenheit=true\nrefreshinterval=99999999999999999999\n"})
    EXPECT_NE(written.find(kept), std::string::npos) << written;
}

TEST_F(NSUserDefaultsTest, AnUnwritableDirectoryIsLoggedOnceAndTheValueHoldsForTheRun) {
  // A plain file where the directory should be stops every user, root included.
  const std::string blocked = config + "/blocked";
  std::ofstream(blocked) << "not a directory";
  NSUserDefaults defaults(blocked);
  defaults.setInteger(12, "refreshinterval");
  defaults.setBool(true, "farenheit");
  EXPECT_EQ(defaults.integerForKey("refreshinterval"), 12);
  EXPECT_TRUE(defaults.boolForKey("farenheit"));
  ASSERT_EQ(log.lines().size(), 1u);
  EXPECT_NE(log.lines()[0].find(blocked + "/pyrelle/settings.ini"), std::string::npos);
}

TEST_F(NSUserDefaultsTest, TheStandardStoreCanBeRelaunchedInATestDirectory) {
  NSUserDefaults::resetStandardUserDefaultsForTesting(config);
  NSUserDefaults& standard = NSUserDefaults::standardUserDefaults();
  registered(standard).setInteger(30, "refreshinterval");
  standard.registerDefaults({{"farenheit", true}});

  NSUserDefaults::resetStandardUserDefaultsForTesting(config);
  EXPECT_EQ(&standard, &NSUserDefaults::standardUserDefaults());
  EXPECT_FALSE(standard.boolForKey("farenheit"));
  EXPECT_EQ(standard.integerForKey("refreshinterval"), 30);
}
