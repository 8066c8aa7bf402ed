#include "platform/gtk/PreferencesView.h"

#include "platform/gtk/GtkInit.h"
#include "platform/gtk/PreferencesWindow.h"

PreferencesView::PreferencesView(NSMainInterface& interface) : objects(interface) {
  objects.window.setObserver(this);
}

PreferencesView::~PreferencesView() { objects.window.setObserver(nullptr); }

GtkWindow* PreferencesView::window() const { return built ? built->window() : nullptr; }

GObject* PreferencesView::objectForTesting(const char* id) const {
  return built ? built->object(id) : nullptr;
}

void PreferencesView::windowDidOrderFront(NSWindow& window) {
  if (!built && ensureReadyForWindows()) built = PreferencesWindow::build(objects);
  if (!built) {
    // Nothing can be shown (logged): the model must not believe the window is up.
    window.userClose();
    return;
  }
  built->present();
}
