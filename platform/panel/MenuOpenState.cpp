#include "platform/panel/MenuOpenState.h"

#include "platform/appkit/NSMenu.h"
#include "platform/foundation/NSLog.h"

MenuOpenState::MenuOpenState(std::chrono::milliseconds guardDelay,
                             std::function<void()> guardExpired)
    : delay(guardDelay), expired(std::move(guardExpired)) {}

MenuOpenState::~MenuOpenState() { closed(); }

void MenuOpenState::setMenu(std::shared_ptr<NSMenu> newMenu) {
  closed();
  menu = std::move(newMenu);
}

bool MenuOpenState::isOpen() const { return menu && menu->isOpen(); }

void MenuOpenState::opened() {
  if (!menu) return;
  menu->menuWillOpen();
  if (guard) return;
  guard.reset(g_timeout_source_new(static_cast<guint>(delay.count())));
  g_source_set_callback(guard.get(), guardDue, this, nullptr);
  g_source_attach(guard.get(), nullptr);
}

void MenuOpenState::closed() {
  guard.reset();
  if (menu) menu->menuDidClose();
}

gboolean MenuOpenState::guardDue(gpointer self) {
  auto* state = static_cast<MenuOpenState*>(self);
  NSLog("Menu: the panel did not say that the menu closed; refreshing again");
  state->closed();
  if (state->expired) state->expired();
  return G_SOURCE_REMOVE;
}
