#pragma once
// Links between a control of the model and its widget in the preferences window. The widget
// shows the control's value whenever the program sets it, with the widget's own signals held
// back meanwhile, so that the change does not come back as the user's; what the user does
// reaches the control as a user action, which sends the control's action.

#include <gtk/gtk.h>

#include <vector>

#include "platform/appkit/NSButton.h"
#include "platform/appkit/NSSegmentedCell.h"
#include "platform/appkit/NSSlider.h"
#include "platform/appkit/NSTextField.h"
#include "platform/gtk/GObjectPtr.h"

class ControlBinding : private NSControlObserver {
 public:
  // Detaches from the control. The widget must still exist.
  ~ControlBinding() override;
  ControlBinding(const ControlBinding&) = delete;
  ControlBinding& operator=(const ControlBinding&) = delete;

  // Shows the control's value in the widget without sending anything.
  void sync();

 protected:
  explicit ControlBinding(NSControl& bound) : control(bound) {}
  // Shows the current value and follows the control from now on; the subclass's constructor
  // calls it last, once its widgets and signals are in place.
  void attach();
  virtual void show(int value) = 0;

  NSControl& control;
  // The widget's signals that report the user's changes; held back while showing a value.
  std::vector<SignalConnection> userSignals;

 private:
  void controlDidChange(NSControl& control) override;
};

// The units control: toggle buttons side by side, one per segment, in order; the selected
// segment's button is down, the others up.
class SegmentedBinding final : public ControlBinding {
 public:
  SegmentedBinding(NSSegmentedCell& cell, std::vector<GtkToggleButton*> segments);

 private:
  void show(int value) override;
  static void clicked(GtkButton* button, gpointer self);

  NSSegmentedCell& cell;
  std::vector<GtkToggleButton*> segments;
};

// The interval slider. Its range (the interface file's) bounds what it shows, not the model.
class SliderBinding final : public ControlBinding {
 public:
  SliderBinding(NSSlider& slider, GtkRange* range);

 private:
  void show(int value) override;
  static void valueChanged(GtkRange* range, gpointer self);

  GtkRange* range;
};

// The interval field: a number entry (a spin button) that shows the control's value, clamped to
// its own range. A number the user enters (Enter, leaving the field, the arrows) reaches the
// control as the user's; text that is no number within that range is put back as it was.
class FieldBinding final : public ControlBinding {
 public:
  FieldBinding(NSTextField& field, GtkSpinButton* entry);

 private:
  void show(int value) override;
  static void valueChanged(GtkAdjustment* adjustment, gpointer self);

  GtkSpinButton* entry;
};

// The "Launch at login" check box.
class CheckboxBinding final : public ControlBinding {
 public:
  CheckboxBinding(NSButton& button, GtkToggleButton* checkbox);

 private:
  void show(int value) override;
  static void toggled(GtkToggleButton* checkbox, gpointer self);

  NSButton& button;
  GtkToggleButton* checkbox;
};
