#include "app/RGAppDelegate.h"

#include <optional>
#include <string>
#include <vector>

#include "platform/foundation/NSBundle.h"
#include "platform/foundation/NSLog.h"
#include "platform/foundation/NSString.h"
#include "platform/foundation/NSURL.h"
#include "platform/loginitems/LSSharedFileList.h"

namespace {

// The bundle path as login items are compared with it; empty when it is unknown.
std::string comparableBundlePath() {
  const std::string path = NSBundle::mainBundle().bundlePath();
  if (path.empty()) return path;
  return NSURL::fileURLWithPath(path).standardizedURL().path();
}

// Paths are compared once normalised by their text ("/usr/bin//pyrelle" starts the same
// program as "/usr/bin/pyrelle"); symbolic links are not resolved.
bool startsBundle(const LSSharedFileList& loginItems, const LSSharedFileListItem& item,
                  const std::string& appPath) {
  const std::optional<NSURL> url = loginItems.resolveItem(item);
  return url && compare(url->standardizedURL().path(), appPath) == NSOrderedSame;
}

bool listHoldsBundle(const LSSharedFileList& loginItems, const std::string& appPath) {
  for (const LSSharedFileListItem& item : loginItems.copySnapshot()) {
    if (startsBundle(loginItems, item, appPath)) return true;
  }
  return false;
}

}  // namespace

bool RGAppDelegate::loginItemsHoldApp() {
  const std::string appPath = comparableBundlePath();
  const auto loginItems = LSSharedFileList::create();
  return loginItems && !appPath.empty() && listHoldsBundle(*loginItems, appPath);
}

bool RGAppDelegate::isAppInLoginItems() {
  if (loginItemsHoldApp()) {
    NSLog("Application is already on the Login List.");
    return true;
  }
  NSLog("Application is not on the Login List.");
  return false;
}

void RGAppDelegate::addAppAsLoginItem() {
  const std::string appPath = NSBundle::mainBundle().bundlePath();
  // An empty path would become the working directory, and the entry would start nothing.
  if (appPath.empty()) {
    NSLog("Cannot add a login item: the path of this program is unknown.");
    return;
  }
  const auto loginItems = LSSharedFileList::create();
  if (!loginItems) return;
  // The outcome is not examined: the list logs its own failures.
  loginItems->insertItemURLLast(NSURL::fileURLWithPath(appPath));
  NSLog("Adding application to the user Login List");
}

void RGAppDelegate::deleteAppFromLoginItem() {
  const std::string appPath = comparableBundlePath();
  const auto loginItems = LSSharedFileList::create();
  if (!loginItems || appPath.empty()) return;
  for (const LSSharedFileListItem& item : loginItems->copySnapshot()) {
    if (!startsBundle(*loginItems, item, appPath)) continue;
    loginItems->removeItem(item);
    NSLog("Removing application to the user Login List");
  }
}
