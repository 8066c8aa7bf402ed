// The application's own delegate and interface on the GTK view: what the user does in the
// preferences window reaches the model, the settings store, the login items and the panel; the
// windows are built when first shown. (A second launch that opens the running one's preferences
// and a launch without a display are start_and_end.sh's, on the program itself.)

#include <gtest/gtest.h>
#include <gtk/gtk.h>

#include <filesystem>
#include <memory>
#include <string>
#include <tuple>
#include <utility>
#include <vector>

#include "app/MainInterface.h"
#include "platform/appkit/AppKit.h"
#include "platform/desktop/DesktopApplicationBackend.h"
#include "platform/foundation/NSRunLoop.h"
#include "platform/foundation/NSUserDefaults.h"
#include "platform/gtk/GtkToolkit.h"

namespace {

GtkToolkit* toolkitOf(const DesktopApplicationBackend& backend) {
  return static_cast<GtkToolkit*>(backend.toolkitForTesting());
}

// Launched as NSApplicationMain launches it, without running the loop.
class DesktopAppTest : public ::testing::Test {
 protected:
  DesktopAppTest() {
    // Each test launches with no settings stored.
    std::filesystem::remove_all(std::filesystem::path(g_get_user_config_dir()) / "pyrelle");
    NSUserDefaults::resetStandardUserDefaultsForTesting(g_get_user_config_dir());
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

  PreferencesView& preferences() { return *toolkitOf(*backend)->preferencesViewForTesting(); }
  GtkWindow* openPreferences() {
    objects.window.makeKeyAndOrderFront(nullptr);
    return preferences().window();
  }
  GObject* widget(const char* id) { return preferences().objectForTesting(id); }

  NSMainInterface objects;
  std::unique_ptr<NSApplicationDelegate> delegate;
  // The GTK view linked in, as the program loads it from its module.
  std::unique_ptr<DesktopApplicationBackend> backend = std::make_unique<DesktopApplicationBackend>(
      [](const std::vector<std::string>& arguments) { return GtkToolkit::create(arguments); });
};

// The windows are built when first opened, the preferences showing the values of that moment.
// Escape and Ctrl+W hide it as its close button does, and it comes back as it was.
TEST_F(DesktopAppTest, WindowsBuiltOnFirstOpenCloseWithTheirKeysAndComeBack) {
  EXPECT_EQ(backend->toolkitForTesting(), nullptr);
  backend->orderFrontStandardAboutPanel();
  EXPECT_NE(toolkitOf(*backend)->aboutPanelForTesting(), nullptr);
  EXPECT_EQ(toolkitOf(*backend)->preferencesViewForTesting(), nullptr);
  objects.unitsControl.userSelectSegment(1);
  objects.intervalSlider.userSetIntValue(30);

  GtkWindow* window = openPreferences();
  ASSERT_NE(window, nullptr);
  EXPECT_TRUE(gtk_toggle_button_get_active(GTK_TOGGLE_BUTTON(widget("unitsFahrenheit"))));
  EXPECT_EQ(gtk_range_get_value(GTK_RANGE(widget("intervalSlider"))), 30.0);
  EXPECT_STREQ(gtk_entry_get_text(GTK_ENTRY(widget("intervalField"))), "30");

  const std::pair<guint, GdkModifierType> keys[] = {{GDK_KEY_Escape, GdkModifierType{}},
                                                    {GDK_KEY_w, GDK_CONTROL_MASK}};
  for (const auto& [key, modifiers] : keys) {
    EXPECT_TRUE(gtk_widget_get_visible(GTK_WIDGET(window))) << key;
    EXPECT_TRUE(gtk_accel_groups_activate(G_OBJECT(window), key, modifiers)) << key;
    EXPECT_FALSE(gtk_widget_get_visible(GTK_WIDGET(window)) || objects.window.isVisible()) << key;
    EXPECT_EQ(openPreferences(), window) << key;
  }
}

// The controls reach the model and the panel. A number typed into the seconds field, committed
// as Enter or leaving the field does, sets the interval as the slider would when it is in the
// slider's range; anything else is put back, and the interval, even one beyond what the slider
// shows, stays as it was.
TEST_F(DesktopAppTest, ControlsReachTheModelAndTheSecondsFieldStaysInTheSlidersRange) {
  ASSERT_NE(openPreferences(), nullptr);
  gtk_button_clicked(GTK_BUTTON(widget("unitsFahrenheit")));
  EXPECT_TRUE(NSStatusBar::systemStatusBar().statusItems().at(0)->title().ends_with("°F"));
  for (const auto state : {NSOnState, NSOffState}) {
    gtk_button_clicked(GTK_BUTTON(widget("loginCheckbox")));
    EXPECT_EQ(objects.loginCheckbox.state(), state);
  }

  const std::tuple<int, const char*, int, const char*> cases[] = {
      {5, "12", 12, "12"}, {5, "60", 60, "60"}, {5, "61", 5, "5"},
      {5, "0", 5, "5"},    {5, "", 5, "5"},     {120, "-", 120, "60"}};
  auto* field = GTK_SPIN_BUTTON(widget("intervalField"));
  for (const auto& [interval, typed, expected, shown] : cases) {
    objects.intervalSlider.userSetIntValue(interval);
    gtk_entry_set_text(GTK_ENTRY(field), typed);
    gtk_spin_button_update(field);
    EXPECT_EQ(objects.intervalSlider.intValue(), expected) << typed;
    EXPECT_STREQ(gtk_entry_get_text(GTK_ENTRY(field)), shown) << typed;
  }
  gtk_range_set_value(GTK_RANGE(widget("intervalSlider")), 30.0);
  EXPECT_EQ(objects.intervalSlider.intValue(), 30);
  EXPECT_STREQ(gtk_entry_get_text(GTK_ENTRY(field)), "30");
}

}  // namespace
