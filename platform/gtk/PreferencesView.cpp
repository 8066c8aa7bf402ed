#include "platform/gtk/PreferencesView.h"

#include "platform/gtk/PreferencesWindow.h"

PreferencesView::PreferencesView(NSMainInterface& interface) : objects(interface) {}

PreferencesView::~PreferencesView() = default;

GtkWindow* PreferencesView::window() const { return built ? built->window() : nullptr; }

GObject* PreferencesView::objectForTesting(const char* id) const {
  return built ? built->object(id) : nullptr;
}

bool PreferencesView::show(const std::string& activationToken) {
  if (!built) built = PreferencesWindow::build(objects);
  if (!built) return false;
  built->present(activationToken);
  return true;
}
