#include <gtest/gtest.h>
#include <gtk/gtk.h>

#include <string>
#include <vector>

#include "GtkTestSupport.h"
#include "platform/gtk/PreferencesView.h"

namespace {

using Actions = std::vector<std::string>;

// The preferences window with its controls connected as the application connects them.
class PreferencesViewTest : public GtkViewTest {
 protected:
  PreferencesViewTest() {
    objects.unitsControl.setTarget(&target);
    objects.unitsControl.setAction(&RecordingTarget::units);
    objects.intervalSlider.setTarget(&target);
    objects.intervalSlider.setAction(&RecordingTarget::interval);
    objects.loginCheckbox.setTarget(&target);
    objects.loginCheckbox.setAction(&RecordingTarget::login);
  }
  ~PreferencesViewTest() override {
    for (NSControl* control : std::vector<NSControl*>{
             &objects.unitsControl, &objects.intervalSlider, &objects.loginCheckbox}) {
      control->setTarget(nullptr);
    }
  }

  template <class Widget>
  Widget* widget(const char* id) {
    PreferencesView* view = backend->preferencesViewForTesting();
    return view ? reinterpret_cast<Widget*>(view->objectForTesting(id)) : nullptr;
  }
  bool down(const char* id) { return gtk_toggle_button_get_active(widget<GtkToggleButton>(id)); }
  GtkWidget* window() { return GTK_WIDGET(backend->preferencesViewForTesting()->window()); }
};

TEST_F(PreferencesViewTest, ShowsWhatTheProgramSetsWithoutSendingActions) {
  ASSERT_NE(backend->preferencesViewForTesting(), nullptr);
  objects.intervalField.setIntValue(12);
  objects.intervalSlider.setIntValue(12);
  objects.unitsControl.setSelectedSegment(1);
  objects.loginCheckbox.setState(NSOnState);

  EXPECT_STREQ(gtk_entry_get_text(widget<GtkEntry>("intervalField")), "12");
  EXPECT_EQ(gtk_range_get_value(widget<GtkRange>("intervalSlider")), 12.0);
  EXPECT_FALSE(down("unitsCelsius"));
  EXPECT_TRUE(down("unitsFahrenheit"));
  EXPECT_TRUE(down("loginCheckbox"));

  // A stored interval beyond the slider's range: the slider stops at its end, the field and the
  // model keep the value.
  objects.intervalField.setIntValue(90);
  objects.intervalSlider.setIntValue(90);
  EXPECT_STREQ(gtk_entry_get_text(widget<GtkEntry>("intervalField")), "90");
  EXPECT_EQ(gtk_range_get_value(widget<GtkRange>("intervalSlider")), 60.0);
  EXPECT_EQ(objects.intervalSlider.intValue(), 90);

  EXPECT_EQ(target.actions, Actions{});
}

TEST_F(PreferencesViewTest, UserChangesReachTheModelAsActions) {
  ASSERT_NE(backend->preferencesViewForTesting(), nullptr);
  gtk_button_clicked(widget<GtkButton>("unitsFahrenheit"));
  EXPECT_EQ(objects.unitsControl.selectedSegment(), 1);
  EXPECT_FALSE(down("unitsCelsius"));
  // Clicking the selected segment sends the action again and leaves the button down.
  gtk_button_clicked(widget<GtkButton>("unitsFahrenheit"));
  EXPECT_TRUE(down("unitsFahrenheit"));

  gtk_range_set_value(widget<GtkRange>("intervalSlider"), 30.0);
  EXPECT_EQ(objects.intervalSlider.intValue(), 30);

  gtk_button_clicked(widget<GtkButton>("loginCheckbox"));
  EXPECT_EQ(objects.loginCheckbox.state(), NSOnState);
  gtk_button_clicked(widget<GtkButton>("loginCheckbox"));
  EXPECT_EQ(objects.loginCheckbox.state(), NSOffState);

  EXPECT_EQ(target.actions, (Actions{"units 1", "units 1", "interval 30", "login 1", "login 0"}));
}

TEST_F(PreferencesViewTest, ClosingHidesTheWindowAndOrderingFrontBringsItBack) {
  ASSERT_NE(backend->preferencesViewForTesting(), nullptr);
  EXPECT_FALSE(gtk_widget_get_visible(window()));

  objects.window.makeKeyAndOrderFront(nullptr);
  EXPECT_TRUE(gtk_widget_get_visible(window()));

  gtk_window_close(GTK_WINDOW(window()));
  spinUntil([&] { return !gtk_widget_get_visible(window()); });
  EXPECT_FALSE(gtk_widget_get_visible(window()));
  EXPECT_FALSE(objects.window.isVisible());

  objects.window.makeKeyAndOrderFront(nullptr);
  EXPECT_TRUE(gtk_widget_get_visible(window()));
  objects.window.orderOut(nullptr);
  EXPECT_FALSE(gtk_widget_get_visible(window()));
}

}  // namespace
