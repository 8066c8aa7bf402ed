#include "platform/foundation/NSUserDefaults.h"

#include <fcntl.h>
#include <gtest/gtest.h>
#include <stdlib.h>
#include <sys/file.h>
#include <sys/resource.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cstdint>
#include <ctime>
#include <filesystem>
#include <fstream>
#include <functional>
#include <string>
#include <vector>

#include "platform/foundation/NSLog.h"
#include "platform/foundation/UniqueFd.h"

namespace fs = std::filesystem;
using Lines = std::vector<std::string>;

namespace {

class NSUserDefaultsTest : public testing::Test {
 protected:
  NSUserDefaultsTest() { fs::create_directories(config + "/pyrelle"); }
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
  bool logged(std::size_t line, const std::string& part) const {
    return log.lines().size() > line && log.lines()[line].find(part) != std::string::npos;
  }

  std::string pattern = (fs::temp_directory_path() / "pyrelle-defaults-XXXXXX").string();
  const std::string config = mkdtemp(pattern.data());
  const std::string settings = config + "/pyrelle/settings.ini";
  LogCaptureForTesting log;
};

}  // namespace

TEST_F(NSUserDefaultsTest, WhatIsNoSettingsFileReadsAsEmptyAndIsKeptAsideUnderANameOfItsOwn) {
  // Each would have given farenheit=true if it were read as a settings file.
  const std::string oversized = "[Pyrelle]\nfarenheit=true\n#" + std::string(1 << 20, 'x') + "\n";
  const std::vector<std::pair<std::string, std::function<void()>>> unusable = {
      {"does not parse", [&] { std::ofstream(settings) << "[Pyrelle]\nfarenheit=true\n\xff\n"; }},
      {"a NUL byte", [&] { std::ofstream(settings) << "[Pyrelle]\nfarenheit=true" << '\0'; }},
      {"over 1 MiB", [&] { std::ofstream(settings) << oversized; }},
      {"a pipe", [&] { ASSERT_EQ(mkfifo(settings.c_str(), 0600), 0); }},
      {"a link to a device", [&] { fs::create_symlink("/dev/zero", settings); }},
  };
  alarm(20);  // a blocking open would hang here for good
  for (std::size_t kept = 0; kept < unusable.size(); ++kept) {
    SCOPED_TRACE(unusable[kept].first);
    unusable[kept].second();
    log.clear();
    NSUserDefaults defaults(config);
    EXPECT_FALSE(registered(defaults).boolForKey("farenheit"));
    EXPECT_EQ(log.lines().size(), 1u);
    EXPECT_TRUE(logged(0, settings + " is not usable"));
    defaults.setInteger(7, "refreshinterval");
    const std::string aside = settings + ".corrupt" + (kept ? "." + std::to_string(kept) : "");
    EXPECT_EQ(log.lines().back(), "The unusable settings file was kept aside as " + aside + ".");
    EXPECT_EQ(contentOf(settings), "[Pyrelle]\nrefreshinterval=7\n");
    fs::remove(settings);
  }
  alarm(0);
  // Every file kept aside is still there as it was.
  EXPECT_EQ(contentOf(settings + ".corrupt.2"), oversized);
  EXPECT_EQ(fs::status(settings + ".corrupt.3").type(), fs::file_type::fifo);
  EXPECT_EQ(fs::read_symlink(settings + ".corrupt.4"), "/dev/zero");
}

// The file is a link, as dotfiles kept elsewhere often are: writes go through it.
TEST_F(NSUserDefaultsTest, AFileThatCannotBeReadNowIsKeptAndReadAgainBeforeTheFirstWrite) {
  const std::string stored = "[Pyrelle]\n# mine\nfarenheit=true\nrefreshinterval=12\n";
  std::ofstream(config + "/kept.ini") << stored;
  fs::create_symlink("../kept.ini", settings);
  // Out of file descriptors, as a busy process can be; a low limit keeps filling the table quick.
  rlimit saved{};
  getrlimit(RLIMIT_NOFILE, &saved);
  const rlimit lowered = {256, saved.rlim_max};
  setrlimit(RLIMIT_NOFILE, &lowered);
  std::vector<UniqueFd> taken;
  while (taken.emplace_back(dup(STDERR_FILENO)).valid()) continue;
  NSUserDefaults defaults(config);
  EXPECT_FALSE(registered(defaults).boolForKey("farenheit"));
  // Still unreadable at the first write: the value holds for the run, the file is not touched.
  defaults.setInteger(30, "refreshinterval");
  taken.clear();
  setrlimit(RLIMIT_NOFILE, &saved);
  EXPECT_EQ(defaults.integerForKey("refreshinterval"), 30);
  EXPECT_EQ(contentOf(settings), stored);
  EXPECT_TRUE(logged(0, "could not be read (Too many open files)"));
  EXPECT_TRUE(logged(1, "Could not save settings to " + settings));

  defaults.setInteger(20, "refreshinterval");
  EXPECT_TRUE(defaults.boolForKey("farenheit"));
  EXPECT_EQ(contentOf(settings), "[Pyrelle]\n# mine\nfarenheit=true\nrefreshinterval=20\n");
  EXPECT_TRUE(fs::is_symlink(settings));  // nothing kept aside, no temporary file left
  EXPECT_EQ(std::distance(fs::directory_iterator(config + "/pyrelle"), {}), 2);
  EXPECT_EQ(fs::status(settings + ".lock").permissions(),
            fs::perms::owner_read | fs::perms::owner_write);
  EXPECT_EQ(log.lines().size(), 2u);
}

TEST_F(NSUserDefaultsTest, LeftoversOfKilledWritersGoAndEverythingElseStays) {
  const std::string folder = config + "/pyrelle/";
  const Lines names = {"settings.ini.Ab3xY9",  "settings.ini.Held00", "settings.ini.Fresh0",
                       "settings.ini.corrupt", "settings.ini.ab",     "other.ini.Ab3xY9",
                       "settings.ini.Ab3xY9.1"};
  const timespec hourAgo[2] = {{std::time(nullptr) - 3600, 0}, {std::time(nullptr) - 3600, 0}};
  for (const std::string& name : names) {
    std::ofstream(folder + name) << "[Pyrelle]\n";
    if (name != "settings.ini.Fresh0") utimensat(AT_FDCWD, (folder + name).c_str(), hourAgo, 0);
  }
  // A live writer holds its temporary file locked.
  const UniqueFd writer(open((folder + "settings.ini.Held00").c_str(), O_RDONLY));
  ASSERT_EQ(flock(writer.get(), LOCK_EX), 0);
  NSUserDefaults defaults(config);
  for (const std::string& name : names)
    EXPECT_EQ(fs::exists(folder + name), name != "settings.ini.Ab3xY9") << name;
  EXPECT_EQ(log.lines(), Lines{"Removed 1 temporary settings file(s) left in " + config +
                               "/pyrelle by runs that ended abruptly."});
}

// The file as a person edits it while the program runs: a save changes only the line of its key
// in the file as it is now (the line edits themselves are KeyFileEditTest's); a value of the
// wrong type or out of range is logged once and the default used. A run that hangs while it
// holds the lock (stopped in a debugger, say) delays the saves, said once, but never stops them.
TEST_F(NSUserDefaultsTest, ASaveChangesOnlyItsLineInTheFileAsItIsNowEvenWithTheLockHeldTooLong) {
  const UniqueFd hung(open((settings + ".lock").c_str(), O_RDWR | O_CREAT, 0600));
  ASSERT_EQ(flock(hung.get(), LOCK_EX), 0);
  NSUserDefaults defaults(config);
  const std::string handEdited =
      "# mine\n[Panel]\ntitle = label\n[Pyrelle]\nfarenheit=maybe\nrefreshinterval = "
      "9223372036854775808";
  std::ofstream(settings) << handEdited;
  defaults.setBool(true, "dark");
  defaults.setInteger(3, "size");
  EXPECT_EQ(contentOf(settings), handEdited + "\ndark=true\nsize=3\n");
  EXPECT_EQ(defaults.stringForKey("title", "Panel"), "label");
  for (int read = 0; read < 2; ++read) {
    EXPECT_FALSE(registered(defaults).boolForKey("farenheit"));
    EXPECT_EQ(defaults.integerForKey("refreshinterval"), 5);
  }
  EXPECT_EQ(log.lines().size(), 3u);
  EXPECT_TRUE(logged(0, "Could not lock " + settings +
                            ".lock (another process has held it for 2000 ms); saving settings "
                            "without it."));
  EXPECT_TRUE(logged(1, "\"farenheit\" in " + settings + " is not a boolean"));
  EXPECT_TRUE(logged(2, "\"refreshinterval\" in " + settings + " is not an integer"));
}

TEST_F(NSUserDefaultsTest, RunsSharingTheFolderKeepEachOthersSettings) {
  // Writers in separate processes at once, each setting its own key again and again. (One
  // store saving over another's file takes the path of a file edited by hand, above.)
  constexpr int writers = 4, rounds = 25;
  std::vector<pid_t> children;
  for (int writer = 0; writer < writers; ++writer) {
    if (const pid_t child = fork(); child != 0) {
      children.push_back(child);
      continue;
    }
    NSUserDefaults mine(config);
    for (int round = 1; round <= rounds; ++round)
      mine.setInteger(round, "writer" + std::to_string(writer));
    _exit(0);
  }
  for (const pid_t child : children) {
    int status = 0;
    EXPECT_TRUE(waitpid(child, &status, 0) == child && status == 0);
  }
  NSUserDefaults after(config);
  for (int writer = 0; writer < writers; ++writer)
    EXPECT_EQ(after.integerForKey("writer" + std::to_string(writer)), rounds) << writer;
  EXPECT_TRUE(log.lines().empty());
}
