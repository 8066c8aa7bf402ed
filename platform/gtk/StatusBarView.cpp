#include "platform/gtk/StatusBarView.h"

#include <glib.h>

#include <algorithm>

StatusBarView::StatusBarView() {
  NSStatusBar& bar = NSStatusBar::systemStatusBar();
  for (NSStatusItem* item : bar.statusItems()) statusBarDidAddItem(*item);
  bar.setObserver(this);
}

StatusBarView::~StatusBarView() { NSStatusBar::systemStatusBar().setObserver(nullptr); }

StatusItemView* StatusBarView::viewOf(const NSStatusItem& item) const {
  for (const auto& [shown, view] : views) {
    if (shown == &item) return view.get();
  }
  return nullptr;
}

void StatusBarView::statusBarDidAddItem(NSStatusItem& item) {
  // The session bus knows each indicator of the process by its id.
  ++madeViews;
  const std::string id = madeViews == 1 ? "pyrelle" : "pyrelle-" + std::to_string(madeViews);
  const char* desktops = g_getenv("XDG_CURRENT_DESKTOP");
  views.emplace_back(&item, std::make_unique<StatusItemView>(item, id, desktops ? desktops : ""));
}

void StatusBarView::statusBarWillRemoveItem(NSStatusItem& item) {
  std::erase_if(views, [&item](const auto& entry) { return entry.first == &item; });
}
