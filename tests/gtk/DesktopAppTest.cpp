// The application's own delegate and interface on the GTK view: what the user does in the
// preferences window reaches the settings store and the panel.

#include <glib.h>
#include <gtest/gtest.h>
#include <gtk/gtk.h>

#include <memory>
#include <string>

#include "GtkTestSupport.h"
#include "platform/foundation/NSRunLoop.h"
#include "platform/foundation/NSUserDefaults.h"
#include "platform/gtk/PreferencesView.h"

namespace {

// Launched as NSApplicationMain launches it, without running the loop.
class DesktopAppTest : public ::testing::Test {
 protected:
  DesktopAppTest() {
    backend = std::make_unique<GtkApplicationBackend>(
        GtkApplicationBackend::Options{.publishPlatformServices = false});
    int argc = 0;
    char** argv = nullptr;
    EXPECT_EQ(backend->start(argc, argv), 0);
    delegate = NSLoadMainInterface(objects);
    backend->interfaceLoaded(objects);
    delegate->applicationDidFinishLaunching();
  }
  ~DesktopAppTest() override {
    backend.reset();
    delegate.reset();
    NSRunLoop::mainRunLoop().resetForTesting();
  }

  template <class Widget>
  Widget* widget(const char* id) {
    return reinterpret_cast<Widget*>(backend->preferencesViewForTesting()->objectForTesting(id));
  }
  // The settings as the next launch reads them.
  static NSUserDefaults storedSettings() { return NSUserDefaults(g_get_user_config_dir()); }
  static std::string title() { return NSStatusBar::systemStatusBar().statusItems().at(0)->title(); }

  NSMainInterface objects;
  std::unique_ptr<NSApplicationDelegate> delegate;
  std::unique_ptr<GtkApplicationBackend> backend;
};

TEST_F(DesktopAppTest, WindowControlsChangeTheStoredSettingsAndThePanel) {
  ASSERT_NE(backend->preferencesViewForTesting(), nullptr);
  EXPECT_STREQ(gtk_entry_get_text(widget<GtkEntry>("intervalField")), "5");
  EXPECT_TRUE(title().ends_with("°C")) << title();

  gtk_button_clicked(widget<GtkButton>("unitsFahrenheit"));
  EXPECT_TRUE(title().ends_with("°F")) << title();
  EXPECT_TRUE(storedSettings().boolForKey("farenheit"));

  gtk_range_set_value(widget<GtkRange>("intervalSlider"), 30.0);
  EXPECT_STREQ(gtk_entry_get_text(widget<GtkEntry>("intervalField")), "30");
  EXPECT_EQ(storedSettings().integerForKey("refreshinterval"), 30);
}

}  // namespace
