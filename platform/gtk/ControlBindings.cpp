#include "platform/gtk/ControlBindings.h"

#include <algorithm>
#include <cmath>

ControlBinding::~ControlBinding() { control.setObserver(nullptr); }

void ControlBinding::attach() {
  control.setObserver(this);
  sync();
}

void ControlBinding::sync() {
  for (const auto& signal : userSignals) signal.block();
  show(control.intValue());
  for (const auto& signal : userSignals) signal.unblock();
}

void ControlBinding::controlDidChange(NSControl& /*control*/) { sync(); }

SegmentedBinding::SegmentedBinding(NSSegmentedCell& bound, std::vector<GtkToggleButton*> buttons)
    : ControlBinding(bound), cell(bound), segments(std::move(buttons)) {
  for (GtkToggleButton* segment : segments) {
    userSignals.emplace_back(segment, "clicked", G_CALLBACK(clicked), this);
  }
  attach();
}

void SegmentedBinding::show(int value) {
  for (std::size_t index = 0; index < segments.size(); ++index) {
    gtk_toggle_button_set_active(segments[index], static_cast<int>(index) == value);
  }
}

// A click toggles the button by itself; the model decides what is selected, so the buttons are
// set from it again even when the selection did not change (a click on the selected segment).
void SegmentedBinding::clicked(GtkButton* button, gpointer self) {
  auto* binding = static_cast<SegmentedBinding*>(self);
  const auto& segments = binding->segments;
  const auto found = std::find(segments.begin(), segments.end(), GTK_TOGGLE_BUTTON(button));
  binding->cell.userSelectSegment(static_cast<int>(found - segments.begin()));
  binding->sync();
}

SliderBinding::SliderBinding(NSSlider& slider, GtkRange* widget)
    : ControlBinding(slider), range(widget) {
  userSignals.emplace_back(widget, "value-changed", G_CALLBACK(valueChanged), this);
  attach();
}

void SliderBinding::show(int value) { gtk_range_set_value(range, value); }

void SliderBinding::valueChanged(GtkRange* range, gpointer self) {
  auto* binding = static_cast<SliderBinding*>(self);
  binding->control.userSetIntValue(static_cast<int>(std::lround(gtk_range_get_value(range))));
}

FieldBinding::FieldBinding(NSTextField& field, GtkSpinButton* widget)
    : ControlBinding(field), entry(widget) {
  // The adjustment's signal, not the spin button's: the spin button also signals when it only
  // puts back the text of an unchanged value, which is no change of the user's.
  userSignals.emplace_back(gtk_spin_button_get_adjustment(widget), "value-changed",
                           G_CALLBACK(valueChanged), this);
  attach();
}

void FieldBinding::show(int value) { gtk_spin_button_set_value(entry, value); }

void FieldBinding::valueChanged(GtkAdjustment* adjustment, gpointer self) {
  auto* binding = static_cast<FieldBinding*>(self);
  binding->control.userSetIntValue(
      static_cast<int>(std::lround(gtk_adjustment_get_value(adjustment))));
}

CheckboxBinding::CheckboxBinding(NSButton& bound, GtkToggleButton* widget)
    : ControlBinding(bound), button(bound), checkbox(widget) {
  userSignals.emplace_back(widget, "toggled", G_CALLBACK(toggled), this);
  attach();
}

void CheckboxBinding::show(int value) {
  gtk_toggle_button_set_active(checkbox, value != NSOffState);
}

void CheckboxBinding::toggled(GtkToggleButton* checkbox, gpointer self) {
  auto* binding = static_cast<CheckboxBinding*>(self);
  binding->button.userSetState(gtk_toggle_button_get_active(checkbox) ? NSOnState : NSOffState);
  binding->sync();
}
