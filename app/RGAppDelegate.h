#pragma once
// The application's delegate: it launches the application, shows the CPU temperature in a
// status item with a menu of fan speeds, refreshes both every refreshInterval seconds, and
// carries out the menu entries and the actions of the preferences window.

#include <cstdint>
#include <memory>
#include <string>

#include "platform/appkit/NSApplication.h"

class NSButton;
class NSControl;
class NSMenu;
class NSMenuItem;
class NSSegmentedCell;
class NSSlider;
class NSStatusItem;
class NSTextField;
class NSUserDefaults;
class NSWindow;
class RGHWWrap;

class RGAppDelegate : public NSApplicationDelegate {
 public:
  RGAppDelegate();
  // Closes the SMC connection unless Quit already did, and disconnects the controls.
  ~RGAppDelegate() override;
  RGAppDelegate(const RGAppDelegate&) = delete;
  RGAppDelegate& operator=(const RGAppDelegate&) = delete;

  // Loads the settings into the properties and the controls, creates the hardware object, then
  // the status item, whose first refresh pass starts the refresh cycle.
  void applicationDidFinishLaunching() override;
  // A second launch opens the preferences window, as "Preferences..." does.
  bool applicationShouldHandleReopen() override {
    openPreferences();
    return false;
  }

  // Outlets, not owned: the main interface's objects outlive the delegate. nullptr: none.
  NSSegmentedCell* tempUnitsCFselect() const { return _tempUnitsCFselect; }
  void setTempUnitsCFselect(NSSegmentedCell* control) { _tempUnitsCFselect = control; }
  NSTextField* refreshField() const { return _refreshField; }
  void setRefreshField(NSTextField* field) { _refreshField = field; }
  NSSlider* refreshSlider() const { return _refreshSlider; }
  void setRefreshSlider(NSSlider* slider) { _refreshSlider = slider; }
  NSButton* automaticStartupCheckbox() const { return _automaticStartupCheckbox; }
  void setAutomaticStartupCheckbox(NSButton* checkbox) { _automaticStartupCheckbox = checkbox; }
  NSWindow* window() const { return _window; }
  void setWindow(NSWindow* window) { _window = window; }

  // Seconds between refresh passes, as stored; the run loop bounds what a timer really waits.
  std::int64_t refreshInterval() const { return _refreshInterval; }
  void setRefreshInterval(std::int64_t seconds) { _refreshInterval = seconds; }
  // true: the title shows degrees Fahrenheit.
  bool farenheit() const { return _farenheit; }
  void setFarenheit(bool farenheit) { _farenheit = farenheit; }

  // Creates the status item and its menu and runs the first refresh pass.
  void activateStatusMenu();
  // Builds the menu "Pyrelle" (fan entries only for fans with a reading now) and keeps it.
  std::shared_ptr<NSMenu> createMenu();
  // Menu actions: the About panel, the preferences window, and Quit, which closes the SMC
  // connection and ends the run.
  void about();
  void openPreferences();
  void exit();

  // One refresh pass: samples, sets the titles, and arms the next pass unless one is pending,
  // so exactly one timer is pending at any time. Does nothing once Quit closed the connection.
  void checkState();

  // Actions of the preferences window: the units (segment 0 °C, any other °F, with a refresh
  // at once), the refresh interval (the sender's value, from the slider or the seconds field,
  // shown in both; the pending pass keeps its time), and launching at login.
  void tempUnitsCF(NSSegmentedCell& sender);
  void takeIntValueForRefreshFrom(NSControl& sender);
  void toggleAutomaticStartup(NSButton& sender);

  // true when a login item starts this program's bundle path (both normalised by their text,
  // then compared as compare() does); logs which answer it gives. No login-items list, or no
  // known bundle path, answers false.
  bool isAppInLoginItems();
  // Adds this program at the end of the login items, without looking for an existing item.
  // Refused, with a log line, while the bundle path is unknown.
  void addAppAsLoginItem();
  // Removes every login item that starts this program's bundle path.
  void deleteAppFromLoginItem();

 private:
  void armRefreshTimer();
  // Sets the check box from the login items as they are now.
  void showLoginItemState();
  // Logs a refresh interval that the run loop's timers cannot keep (each time one is set).
  void reportBoundedInterval() const;
  // isAppInLoginItems without its log line.
  bool loginItemsHoldApp();

  std::shared_ptr<NSStatusItem> theItem;
  std::shared_ptr<NSMenu> menu;
  std::shared_ptr<NSMenuItem> statusRPM1;
  std::shared_ptr<NSMenuItem> statusRPM2;
  std::unique_ptr<RGHWWrap> hwwrap;
  std::string strTemperature;
  std::string strRPM1;
  std::string strRPM2;
  NSUserDefaults* defaults = nullptr;  // the process-wide standard store
  NSSegmentedCell* _tempUnitsCFselect = nullptr;
  NSTextField* _refreshField = nullptr;
  NSSlider* _refreshSlider = nullptr;
  NSButton* _automaticStartupCheckbox = nullptr;
  NSWindow* _window = nullptr;
  std::int64_t _refreshInterval = 0;
  bool _farenheit = false;
  // True while the refresh timer is pending. Shared with that timer, so that a timer that
  // outlives the delegate finds it gone and does nothing.
  std::shared_ptr<bool> refreshPending = std::make_shared<bool>(false);
};
