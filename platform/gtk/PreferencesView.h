#pragma once
// The preferences window of the main interface, built the first time it is shown: the interface
// file read and the controls bound, showing the values they have by then.

#include <gtk/gtk.h>

#include <memory>
#include <string>

#include "platform/appkit/NSMainInterface.h"

class PreferencesWindow;

class PreferencesView {
 public:
  explicit PreferencesView(NSMainInterface& interface);
  ~PreferencesView();
  PreferencesView(const PreferencesView&) = delete;
  PreferencesView& operator=(const PreferencesView&) = delete;

  // Shows the window (building it first), raised and focused. False when it cannot be built.
  bool show(const std::string& activationToken);

  // nullptr until the window was first shown, or when it could not be built.
  GtkWindow* window() const;
  // The interface file's object with `id`; nullptr when there is none or nothing is built yet.
  GObject* objectForTesting(const char* id) const;

 private:
  NSMainInterface& objects;
  std::unique_ptr<PreferencesWindow> built;
};
