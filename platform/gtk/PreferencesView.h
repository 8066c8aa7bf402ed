#pragma once
// The preferences window of the main interface. It follows the window model from launch, but
// builds nothing until the window is first brought to the front: only then are GTK initialised,
// the interface file read and the controls bound, showing the values they have by then.

#include <gtk/gtk.h>

#include <memory>

#include "platform/appkit/NSMainInterface.h"

class PreferencesWindow;

class PreferencesView final : private NSWindowObserver {
 public:
  explicit PreferencesView(NSMainInterface& interface);
  ~PreferencesView() override;
  PreferencesView(const PreferencesView&) = delete;
  PreferencesView& operator=(const PreferencesView&) = delete;

  // nullptr until the window was first shown, or when it could not be built.
  GtkWindow* window() const;
  // The interface file's object with `id`; nullptr when there is none or nothing is built yet.
  GObject* objectForTesting(const char* id) const;

 private:
  void windowDidOrderFront(NSWindow& window) override;

  NSMainInterface& objects;
  std::unique_ptr<PreferencesWindow> built;
};
