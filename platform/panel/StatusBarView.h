#pragma once
// Shows every status item of the system status bar in the desktop's panel, from the moment it
// is made until it goes (one StatusItemView each).

#include <memory>
#include <utility>
#include <vector>

#include "platform/appkit/NSStatusBar.h"
#include "platform/panel/StatusItemView.h"

class StatusBarView final : private NSStatusBarObserver {
 public:
  // Shows the items already there and follows the bar from now on.
  explicit StatusBarView(StatusItemView::Context context);
  ~StatusBarView() override;
  StatusBarView(const StatusBarView&) = delete;
  StatusBarView& operator=(const StatusBarView&) = delete;

  // The view of `item`; nullptr when it has none.
  StatusItemView* viewOf(const NSStatusItem& item) const;

 private:
  void statusBarDidAddItem(NSStatusItem& item) override;
  void statusBarWillRemoveItem(NSStatusItem& item) override;

  StatusItemView::Context context;
  unsigned madeViews = 0;
  std::vector<std::pair<const NSStatusItem*, std::unique_ptr<StatusItemView>>> views;
};
