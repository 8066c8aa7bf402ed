#pragma once
// The preferences window, built from the interface file in the program's resources and bound
// to the main interface's objects: the window follows NSWindow (closing it only hides it, so
// "Preferences..." brings it back as it was) and each control its model (ControlBindings.h).

#include <gtk/gtk.h>

#include <memory>
#include <vector>

#include "platform/appkit/NSMainInterface.h"
#include "platform/gtk/ControlBindings.h"
#include "platform/gtk/GObjectPtr.h"

class PreferencesView final : private NSWindowObserver {
 public:
  // nullptr, after a log line, when the interface file cannot be read or lacks a widget.
  static std::unique_ptr<PreferencesView> load(NSMainInterface& objects);
  ~PreferencesView() override;
  PreferencesView(const PreferencesView&) = delete;
  PreferencesView& operator=(const PreferencesView&) = delete;

  GtkWindow* window() const { return GTK_WINDOW(windowWidget.get()); }
  // The interface file's object with `id`; nullptr when there is none.
  GObject* objectForTesting(const char* id) const;

 private:
  PreferencesView(NSWindow& model, GObjectPtr<GtkBuilder> builder, GtkWidget* window);

  void windowDidOrderFront(NSWindow& window) override;
  static gboolean deleted(GtkWidget* widget, GdkEvent* event, gpointer self);

  NSWindow& model;
  GObjectPtr<GtkBuilder> builder;
  OwnedWidget windowWidget;
  std::vector<std::unique_ptr<ControlBinding>> bindings;
  SignalConnection deleteEvent;
};
