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

  static std::string contentOf(const std::string& file) {
    std::ifstream in(file, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), {}};
  }
  // What the application registers at launch.
  static NSUserDefaults& registered(NSUserDefaults& defaults) {
    defaults.registerDefaults({{"farenheit", false}, {"refreshinterval", std::int64_t{5}}});
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
  fs::create_directories(config + "/pyrelle");
  std::ofstream(settings, std::ios::binary) << garbage;
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
