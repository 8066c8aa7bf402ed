// The application's own delegate and interface on the GTK view: what the user does in the
// preferences window reaches the model, the settings store, the login items and the panel.

#include <glib.h>
#include <gtest/gtest.h>
#include <gtk/gtk.h>

#include <csignal>
#include <cstdlib>
#include <filesystem>
#include <memory>
#include <string>

#include "app/MainInterface.h"
#include "platform/appkit/AppKit.h"
#include "platform/foundation/NSRunLoop.h"
#include "platform/foundation/NSUserDefaults.h"
#include "platform/gtk/AboutPanel.h"
#include "platform/gtk/GtkApplicationBackend.h"
#include "platform/gtk/PreferencesView.h"

namespace {

// Launched as NSApplicationMain launches it, without running the loop.
class DesktopAppTest : public ::testing::Test {
 protected:
  DesktopAppTest() {
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
  std::unique_ptr<GtkApplicationBackend> backend = std::make_unique<GtkApplicationBackend>();
};

TEST_F(DesktopAppTest, WindowControlsChangeTheModelTheStoredSettingsAndThePanel) {
  ASSERT_NE(backend->preferencesViewForTesting(), nullptr);
  EXPECT_STREQ(gtk_entry_get_text(widget<GtkEntry>("intervalField")), "5");
  EXPECT_TRUE(title().ends_with("°C")) << title();

  gtk_button_clicked(widget<GtkButton>("unitsFahrenheit"));
  EXPECT_EQ(objects.unitsControl.selectedSegment(), 1);
  EXPECT_TRUE(title().ends_with("°F")) << title();
  EXPECT_TRUE(storedSettings().boolForKey("farenheit"));
  // Clicking the selected segment again leaves its button down.
  gtk_button_clicked(widget<GtkButton>("unitsFahrenheit"));
  EXPECT_TRUE(gtk_toggle_button_get_active(widget<GtkToggleButton>("unitsFahrenheit")));

  gtk_range_set_value(widget<GtkRange>("intervalSlider"), 30.0);
  EXPECT_EQ(objects.intervalSlider.intValue(), 30);
  EXPECT_STREQ(gtk_entry_get_text(widget<GtkEntry>("intervalField")), "30");
  EXPECT_EQ(storedSettings().integerForKey("refreshinterval"), 30);

  const auto autostart = std::filesystem::path(g_get_user_config_dir()) / "autostart";
  gtk_button_clicked(widget<GtkButton>("loginCheckbox"));
  EXPECT_EQ(objects.loginCheckbox.state(), NSOnState);
  EXPECT_FALSE(std::filesystem::is_empty(autostart));
  gtk_button_clicked(widget<GtkButton>("loginCheckbox"));
  EXPECT_EQ(objects.loginCheckbox.state(), NSOffState);
  EXPECT_TRUE(std::filesystem::is_empty(autostart));
}

TEST_F(DesktopAppTest, AboutDialogCarriesTheNameAndVersion) {
  backend->orderFrontStandardAboutPanel();
  GtkAboutDialog* dialog = backend->aboutPanelForTesting()->dialog();
  ASSERT_NE(dialog, nullptr);
  EXPECT_TRUE(gtk_widget_get_visible(GTK_WIDGET(dialog)));
  EXPECT_STREQ(gtk_about_dialog_get_program_name(dialog), "Pyrelle");
  EXPECT_STREQ(gtk_about_dialog_get_version(dialog), PYRELLE_VERSION);
  EXPECT_EQ(gtk_about_dialog_get_license_type(dialog), GTK_LICENSE_MIT_X11);
}

[[noreturn]] void runWithoutDisplay() {
  g_unsetenv("DISPLAY");
  g_unsetenv("WAYLAND_DISPLAY");
  char name[] = "pyrelle";
  char* argv[] = {name, nullptr};
  std::exit(
      NSApplicationMain(1, argv, std::make_unique<GtkApplicationBackend>(), NSLoadMainInterface));
}

// Started outside any desktop session, the program says so in one line and exits with 1.
TEST(ApplicationMainTest, WithoutADisplaySaysSoInOneLineAndExitsWithStatusOne) {
  EXPECT_EXIT(runWithoutDisplay(), ::testing::ExitedWithCode(1),
              "^pyrelle: cannot open a display[^\n]*\n$");
}

[[noreturn]] void runUntilTheSessionEndsIt() {
  g_idle_add(
      [](gpointer) {
        std::raise(SIGTERM);
        return G_SOURCE_REMOVE;
      },
      nullptr);
  char name[] = "pyrelle";
  char* argv[] = {name, nullptr};
  std::exit(
      NSApplicationMain(1, argv, std::make_unique<GtkApplicationBackend>(), NSLoadMainInterface));
}

// Logging out sends SIGTERM: the run ends as Quit ends it, closing the SMC connection once.
TEST(ApplicationMainTest, TerminationSignalEndsTheRunCleanly) {
  EXPECT_EXIT(runUntilTheSessionEndsIt(), ::testing::ExitedWithCode(0),
              "(Closing|Error while closing) I/O connection\\.\n$");
}

}  // namespace
