#include "app/RGAppDelegate.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <string>
#include <vector>

#include "platform/foundation/NSBundle.h"
#include "platform/foundation/NSLog.h"
#include "tests/support/TemporaryAutostart.h"

namespace fs = std::filesystem;

namespace {

using Lines = std::vector<std::string>;
const std::string removing = "Removing application to the user Login List";

class RGAppDelegateLoginItemsTest : public testing::Test {
 protected:
  RGAppDelegateLoginItemsTest() { NSBundle::mainBundle().setBundlePathForTesting(bundlePath); }
  ~RGAppDelegateLoginItemsTest() override {
    NSBundle::mainBundle().setBundlePathForTesting(std::nullopt);
  }

  const std::string bundlePath = "/opt/Caf\u00e9/pyrelle";  // a precomposed "é"
  TemporaryAutostart home;
  LogCaptureForTesting log;
  RGAppDelegate delegate;
};

}  // namespace

TEST_F(RGAppDelegateLoginItemsTest, EveryMatchingItemIsRemovedAndOtherProgramsStaySilently) {
  home.write("a.desktop", entryWithExec("\"" + bundlePath + "\" --from-a"));
  home.write("b.desktop", entryWithExec("/usr/bin/other %U"));
  home.write("c.desktop", entryWithExec(bundlePath));
  // Entries that start nothing at login are not login items of this program.
  home.write("d.desktop", entryWithExec(bundlePath) + "Hidden=true\n");
  home.write("e.desktop", entryWithExec(bundlePath) + "X-GNOME-Autostart-enabled=false\n");
  home.write("f.desktop", "[Desktop Entry]\nType=Link\nName=Other\nExec=" + bundlePath + "\n");
  delegate.deleteAppFromLoginItem();
  delegate.deleteAppFromLoginItem();  // nothing left to say
  EXPECT_FALSE(delegate.isAppInLoginItems());
  EXPECT_EQ(log.lines(), (Lines{removing, removing, "Application is not on the Login List."}));
  for (const std::string name : {"a", "b", "c", "d", "e", "f"})
    EXPECT_EQ(fs::exists(home.autostart() / (name + ".desktop")), name != "a" && name != "c")
        << name;
}

TEST_F(RGAppDelegateLoginItemsTest, PathsMatchOnceNormalisedButCaseCountsAndLinksAreNotFollowed) {
  const std::pair<std::string, bool> cases[] = {
      {"/opt//Caf\u00e9/./pyrelle", true}, {"//opt/x/../Caf\u00e9/pyrelle/", true},
      {"/opt/Caf\u00e9/pyrelle/.", true},  {"/opt/Cafe\u0301/pyrelle", true},
      {"/opt/CAF\u00c9/pyrelle", false},   {"/opt/caf\u00e9/pyrelle", false}};
  for (const auto& [exec, matches] : cases) {
    home.write("normal.desktop", entryWithExec(exec));
    EXPECT_EQ(delegate.isAppInLoginItems(), matches) << exec;
    delegate.deleteAppFromLoginItem();
    EXPECT_EQ(fs::exists(home.autostart() / "normal.desktop"), !matches) << exec;
  }
  // A link to the program is another path: the entry is left alone.
  fs::create_directories(home.root / "linked");
  fs::create_symlink(home.root / "linked", home.root / "link");
  NSBundle::mainBundle().setBundlePathForTesting((home.root / "linked" / "pyrelle").string());
  home.write("normal.desktop", entryWithExec((home.root / "link" / "pyrelle").string()));
  EXPECT_FALSE(delegate.isAppInLoginItems());
}

TEST_F(RGAppDelegateLoginItemsTest, AnUnknownBundlePathIsNeverAdded) {
  NSBundle::mainBundle().setBundlePathForTesting("");
  delegate.addAppAsLoginItem();
  EXPECT_FALSE(fs::exists(home.autostart()));
  EXPECT_EQ(log.lines(), Lines{"Cannot add a login item: the path of this program is unknown."});
}
