#pragma once
// What the GUI tests share: a started GTK backend with the main interface loaded, a
// StatusNotifierWatcher standing in for the panel on the private session bus, D-Bus calls that
// wait by running the main loop, and a target that records the actions it receives.

#include <gio/gio.h>
#include <gtest/gtest.h>

#include <chrono>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "platform/appkit/AppKit.h"
#include "platform/gtk/GtkApplicationBackend.h"

// Runs the default main context until `done()` holds; false when `timeout` passed first.
bool spinUntil(const std::function<bool()>& done,
               std::chrono::milliseconds timeout = std::chrono::seconds(5));
// Runs the default main context for `duration`.
void spinFor(std::chrono::milliseconds duration);

// Receives the actions of menu entries and controls, and writes down each as "name value".
class RecordingTarget : public NSObject {
 public:
  void about() { actions.push_back("about"); }
  void units(NSSegmentedCell& sender) { record("units", sender.selectedSegment()); }
  void interval(NSSlider& sender) { record("interval", sender.intValue()); }
  void login(NSButton& sender) { record("login", sender.state()); }

  std::vector<std::string> actions;

 private:
  void record(const char* name, int value) {
    actions.push_back(std::string(name) + " " + std::to_string(value));
  }
};

// A started backend (services not published) with the main interface loaded. Restores the run
// loop afterwards.
class GtkViewTest : public ::testing::Test {
 protected:
  GtkViewTest();
  ~GtkViewTest() override;

  NSMainInterface objects;
  RecordingTarget target;
  std::unique_ptr<GtkApplicationBackend> backend;
};

// The panel's side of the StatusNotifierItem protocol, on its own connection to the session
// bus: owns org.kde.StatusNotifierWatcher and notes the items that register.
class TestStatusNotifierWatcher {
 public:
  struct Item {
    std::string busName;
    std::string objectPath;
  };

  // Returns once the name is owned.
  TestStatusNotifierWatcher();
  ~TestStatusNotifierWatcher();
  TestStatusNotifierWatcher(const TestStatusNotifierWatcher&) = delete;
  TestStatusNotifierWatcher& operator=(const TestStatusNotifierWatcher&) = delete;

  GDBusConnection* connection() const { return bus; }
  const std::vector<Item>& items() const { return registered; }

  // Calls a method on the bus and waits for the reply (nullptr, after a test failure, on an
  // error or when none came in time). The reply is the caller's.
  GVariant* call(const std::string& busName, const std::string& objectPath, const char* interface,
                 const char* method, GVariant* parameters);
  // A property of the item's StatusNotifierItem interface; nullptr after a test failure.
  GVariant* itemProperty(const Item& item, const char* property);

 private:
  static void methodCalled(GDBusConnection* connection, const char* sender, const char* path,
                           const char* interface, const char* method, GVariant* parameters,
                           GDBusMethodInvocation* invocation, gpointer self);
  static GVariant* propertyRead(GDBusConnection* connection, const char* sender, const char* path,
                                const char* interface, const char* property, GError** error,
                                gpointer self);

  GDBusConnection* bus = nullptr;
  guint objectId = 0;
  guint nameId = 0;
  bool owned = false;
  std::vector<Item> registered;
};
