#include "platform/panel/StatusBarView.h"

#include <algorithm>

StatusBarView::StatusBarView(StatusItemView::Context itemContext)
    : context(std::move(itemContext)) {
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
  // Each item of the process gets a bus name of its own, by number.
  views.emplace_back(&item, std::make_unique<StatusItemView>(item, ++madeViews, context));
}

void StatusBarView::statusBarWillRemoveItem(NSStatusItem& item) {
  std::erase_if(views, [&item](const auto& entry) { return entry.first == &item; });
}
