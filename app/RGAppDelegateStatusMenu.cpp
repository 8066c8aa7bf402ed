#include <cstdint>

#include "app/RGAppDelegate.h"
#include "hardware/RGHWWrap.h"
#include "platform/appkit/AppKit.h"
#include "platform/foundation/NSString.h"

namespace {

std::shared_ptr<NSMenuItem> makeItem(std::string title, NSSelector action, NSObject* target) {
  auto item = std::make_shared<NSMenuItem>(std::move(title), std::move(action), "");
  item->setTarget(target);
  return item;
}

}  // namespace

void RGAppDelegate::activateStatusMenu() {
  theItem = NSStatusBar::systemStatusBar().statusItemWithLength(NSVariableStatusItemLength);
  theItem->setTitle(strTemperature);
  theItem->setHighlightMode(true);
  theItem->setMenu(createMenu());
  checkState();
}

std::shared_ptr<NSMenu> RGAppDelegate::createMenu() {
  menu = std::make_shared<NSMenu>("Pyrelle");
  // The speeds of the hardware object's first sample: a fan without a reading gets no entry,
  // now or later. Entries without an action show disabled.
  const std::int64_t rpm1 = hwwrap != nullptr ? hwwrap->getRPMforFan(0) : -1;
  const std::int64_t rpm2 = hwwrap != nullptr ? hwwrap->getRPMforFan(1) : -1;
  if (rpm1 != -1) {
    strRPM1 = stringWithFormat("Fan 1: %ld RPM", static_cast<long>(rpm1));
    statusRPM1 = makeItem(strRPM1, NSSelector{}, this);
    menu->addItem(statusRPM1);
  }
  if (rpm2 != -1) {
    strRPM2 = stringWithFormat("Fan 2: %ld RPM", static_cast<long>(rpm2));
    statusRPM2 = makeItem(strRPM2, NSSelector{}, this);
    menu->addItem(statusRPM2);
  }
  menu->addItem(NSMenuItem::separatorItem());
  menu->addItem(makeItem("Info...", &RGAppDelegate::about, this));
  menu->addItem(makeItem("Preferences...", &RGAppDelegate::openPreferences, this));
  menu->addItem(NSMenuItem::separatorItem());
  menu->addItem(makeItem("Quit", &RGAppDelegate::exit, this));
  return menu;
}

void RGAppDelegate::about() {
  NSApp().activateIgnoringOtherApps(true);
  NSApp().orderFrontStandardAboutPanel(this);
}

void RGAppDelegate::openPreferences() {
  // The login items may have changed outside the application since the window was last shown.
  showLoginItemState();
  NSApp().activateIgnoringOtherApps(true);
  if (_window != nullptr) _window->makeKeyAndOrderFront(nullptr);
}

void RGAppDelegate::exit() {
  // Releasing the hardware object closes the connection with its log line; nothing closes it
  // again when the delegate goes after the run.
  hwwrap.reset();
  NSApp().terminate(nullptr);
}
