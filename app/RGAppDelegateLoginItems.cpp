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

bool startsBundle(const LSSharedFileList& loginItems, const LSSharedFileListItem& item,
                  const std::string& appPath) {
  const std::optional<NSURL> url = loginItems.resolveItem(item);
  return url && compare(url->path(), appPath) == NSOrderedSame;
}

}  // namespace

bool RGAppDelegate::isAppInLoginItems() {
  const std::string appPath = NSBundle::mainBundle().bundlePath();
  if (const auto loginItems = LSSharedFileList::create()) {
    const std::vector<LSSharedFileListItem> snapshot = loginItems->copySnapshot();
    for (const LSSharedFileListItem& item : snapshot) {
      if (startsBundle(*loginItems, item, appPath)) {
        NSLog("Application is already on the Login List.");
        return true;
      }
    }
  }
  NSLog("Application is not on the Login List.");
  return false;
}

void RGAppDelegate::addAppAsLoginItem() {
  const NSURL url = NSURL::fileURLWithPath(NSBundle::mainBundle().bundlePath());
  const auto loginItems = LSSharedFileList::create();
  if (!loginItems) return;
  // The outcome is not examined: the list logs its own failures.
  loginItems->insertItemURLLast(url);
  NSLog("Adding application to the user Login List");
}

void RGAppDelegate::deleteAppFromLoginItem() {
  const std::string appPath = NSBundle::mainBundle().bundlePath();
  const auto loginItems = LSSharedFileList::create();
  if (!loginItems) return;
  for (const LSSharedFileListItem& item : loginItems->copySnapshot()) {
    if (!startsBundle(*loginItems, item, appPath)) continue;
    loginItems->removeItem(item);
    NSLog("Removing application to the user Login List");
  }
}
