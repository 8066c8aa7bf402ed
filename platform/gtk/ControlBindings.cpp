#include "platform/gtk/ControlBindings.h"

#include <algorithm>
#include <cmath>
#include <string>

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

SegmentedBinding::SegmentedBinding(NSSegmentedCell& cell, std::vector<GtkToggleButton*> buttons)
    : ControlBinding(cell), cell(cell), segments(std::move(buttons)) {
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

SliderBinding::SliderBinding(NSSlider& slider, GtkRange* range)
    : ControlBinding(slider), range(range) {
  userSignals.emplace_back(range, "value-changed", G_CALLBACK(valueChanged), this);
  attach();
}

void SliderBinding::show(int value) { gtk_range_set_value(range, value); }

void SliderBinding::valueChanged(GtkRange* range, gpointer self) {
  auto* binding = static_cast<SliderBinding*>(self);
  binding->control.userSetIntValue(static_cast<int>(std::lround(gtk_range_get_value(range))));
}

FieldBinding::FieldBinding(NSTextField& field, GtkEntry* entry)
    : ControlBinding(field), entry(entry) {
  attach();
}

void FieldBinding::show(int value) { gtk_entry_set_text(entry, std::to_string(value).c_str()); }

CheckboxBinding::CheckboxBinding(NSButton& button, GtkToggleButton* checkbox)
    : ControlBinding(button), button(button), checkbox(checkbox) {
  userSignals.emplace_back(checkbox, "toggled", G_CALLBACK(toggled), this);
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
