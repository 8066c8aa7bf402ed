#include "platform/loginitems/LSSharedFileList.h"

#include <gtest/gtest.h>
#include <sys/stat.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <set>
#include <string>
#include <vector>

#include "platform/foundation/NSLog.h"
#include "tests/support/TemporaryAutostart.h"

namespace fs = std::filesystem;
using Names = std::vector<std::string>;
using Files = std::set<std::string>;

namespace {

Files filesIn(const fs::path& directory) {
  Files names;
  for (const auto& entry : fs::directory_iterator(directory)) names.insert(entry.path().filename());
  return names;
}

struct LSSharedFileListTest : testing::Test {
  TemporaryAutostart home;
  LogCaptureForTesting log;
};

}  // namespace

// Round trips and refusals of any path are left to the fuzz target; here desktop-file-validate
// checks a written file, and a refused path leaves none.
TEST_F(LSSharedFileListTest, WrittenEntriesPassTheValidatorAndNothingActsThroughALink) {
  home.write("pyrelle.desktop", "older");
  fs::create_symlink(home.root / "absent.desktop", home.autostart() / "pyrelle-2.desktop");
  std::ofstream(home.root / "linked.desktop") << entryWithExec("/usr/bin/other");
  fs::create_symlink(home.root / "linked.desktop", home.autostart() / "pyrelle-3.desktop");

  const auto loginItems = LSSharedFileList::create();
  EXPECT_FALSE(loginItems->insertItemURLLast(NSURL::fileURLWithPath("/opt/a\nb/pyrelle")));
  const std::string path = "/home/zo\u00eb/a'b;c&d|e*f?g#h(i)j~k<l>m=n/ py\"re`l$le\\x%";
  const auto item = loginItems->insertItemURLLast(NSURL::fileURLWithPath(path));
  EXPECT_EQ(item.value().fileName(), "pyrelle-4.desktop");
  EXPECT_EQ(loginItems->resolveItem(*item).value().path(), path);
  const std::string written = (home.autostart() / item->fileName()).string();
  EXPECT_EQ(std::system(("desktop-file-validate '" + written + "'").c_str()), 0);
  // A linked entry is read, and removing it removes the link only.
  const auto items = loginItems->copySnapshot();
  ASSERT_EQ(items.size(), 4u);
  EXPECT_EQ(loginItems->resolveItem(items[1]).value().path(), "/usr/bin/other");
  EXPECT_TRUE(loginItems->removeItem(items[0]) && loginItems->removeItem(items[1]));
  EXPECT_EQ(fs::file_size(home.autostart() / "pyrelle.desktop"), 5u);
  EXPECT_EQ(filesIn(home.autostart()), (Files{"pyrelle-4.desktop", "pyrelle.desktop"}));
  EXPECT_EQ(filesIn(home.root), (Files{"config", "linked.desktop"}));
}

TEST_F(LSSharedFileListTest, BadFilesAreSkippedWithALogLineEachWhileGoodOnesResolve) {
  std::string largest = entryWithExec("/opt/largest") + "Comment=";
  largest += std::string(1024 * 1024 - largest.size() - 1, 'x') + "\n";
  home.write("largest.desktop", largest);
  home.write("oversized.desktop", largest + "\n");
  // Not UTF-8 (a NUL byte takes the same check).
  home.write("latin1.desktop", entryWithExec("/opt/caf\xe9"));
  home.write("malformed.desktop", "[Desktop Entry\nExec=/opt/malformed\n");
  home.write("notes.txt", entryWithExec("/opt/notes"));  // not an entry: skipped silently
  home.write("z-good.desktop", entryWithExec("/usr/bin/other %U"));
  fs::create_directory(home.autostart() / "folder.desktop");
  fs::create_symlink(home.root / "absent", home.autostart() / "dangling.desktop");
  ASSERT_EQ(mkfifo((home.autostart() / "pipe.desktop").c_str(), 0600), 0);  // must not block

  // The list is read anew at every look-up; each bad file is logged the first time only.
  for (int scan = 0; scan < 2; ++scan) {
    const auto loginItems = LSSharedFileList::create();
    Names resolved;
    for (const LSSharedFileListItem& item : loginItems->copySnapshot()) {
      if (const auto url = loginItems->resolveItem(item)) resolved.push_back(url->path());
    }
    EXPECT_EQ(resolved, (Names{"/opt/largest", "/usr/bin/other"}));
  }
  ASSERT_EQ(log.lines().size(), 6u);
  EXPECT_EQ(log.lines()[4], "Skipping login item " +
                                (home.autostart() / "oversized.desktop").string() +
                                ": larger than 1 MiB");
}
