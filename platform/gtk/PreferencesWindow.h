#pragma once
// The preferences window's widgets, built from the interface file in the program's resources and
// bound to the main interface's controls (ControlBindings.h), whose values they show from the
// moment they are built. Closing the window (its close button, Escape, Ctrl+W) only hides it and
// tells the window model, so that it can come back as it was.

#include <gtk/gtk.h>

#include <memory>
#include <string>
#include <vector>

#include "platform/appkit/NSMainInterface.h"
#include "platform/foundation/Passkey.h"
#include "platform/gtk/ControlBindings.h"
#include "platform/gtk/GObjectPtr.h"
#include "platform/gtk/WindowPresentation.h"

class PreferencesWindow {
 public:
  // GTK must be initialised. nullptr, after a log line, when the interface file cannot be read
  // or lacks a widget.
  static std::unique_ptr<PreferencesWindow> build(NSMainInterface& objects);
  // Made by build() only.
  PreferencesWindow(Passkey<PreferencesWindow> key, NSWindow& shown,
                    GObjectPtr<GtkBuilder> interface, GtkWidget* widget);
  ~PreferencesWindow();
  PreferencesWindow(const PreferencesWindow&) = delete;
  PreferencesWindow& operator=(const PreferencesWindow&) = delete;

  GtkWindow* window() const { return GTK_WINDOW(windowWidget.get()); }
  // Shows the window, raised and focused.
  void present(const std::string& activationToken) { presentWindow(window(), activationToken); }
  void hide() { gtk_widget_hide(windowWidget.get()); }
  // The interface file's object with `id`; nullptr when there is none.
  GObject* object(const char* id) const { return gtk_builder_get_object(builder.get(), id); }

 private:
  void closeByUser();
  static gboolean deleted(GtkWidget* widget, GdkEvent* event, gpointer self);
  static gboolean closeKeyPressed(GtkAccelGroup* group, GObject* window, guint key,
                                  GdkModifierType modifiers, gpointer self);

  NSWindow& model;
  GObjectPtr<GtkBuilder> builder;
  OwnedWidget windowWidget;
  GObjectPtr<GtkAccelGroup> closeKeys;
  std::vector<std::unique_ptr<ControlBinding>> bindings;
  SignalConnection deleteEvent;
};
