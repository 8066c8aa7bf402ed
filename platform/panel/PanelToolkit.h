#pragma once
// What the panel item needs from a GUI toolkit, and does without while a StatusNotifierWatcher
// hosts it: the XEmbed tray icon shown where no watcher exists, and our own pop-up menu for
// clicks that reach the item itself (Activate, ContextMenu, the tray icon). The GTK view
// implements it in a module loaded the first time one of them is needed.

#include <functional>
#include <memory>
#include <string>

class NSMenu;

class TrayIconView {
 public:
  struct Callbacks {
    // A click on the icon, either button.
    std::function<void()> menuRequested;
    // A tray embedded the icon, or let go of it.
    std::function<void()> embeddingChanged;
  };

  virtual ~TrayIconView() = default;
  // `title` is drawn into the icon as given; `toolTip` shows on hover.
  virtual void show(const std::string& title, const std::string& toolTip) = 0;
  virtual bool isEmbedded() const = 0;
};

// Our own menu on screen; destroying it takes it off the screen.
class PopUpMenuView {
 public:
  virtual ~PopUpMenuView() = default;
  virtual bool isShown() const = 0;
};

class PanelToolkit {
 public:
  // Called with true when the pop-up menu appears on screen, false when it goes.
  using MenuShown = std::function<void(bool shown)>;

  virtual ~PanelToolkit() = default;
  // nullptr when the toolkit cannot show one (no display; logged).
  virtual std::unique_ptr<TrayIconView> makeTrayIcon(TrayIconView::Callbacks callbacks) = 0;
  // Shows the entries of `menu` as they are now, at the pointer or beside `near`; choosing one
  // sends its action. nullptr when it cannot be shown (logged).
  virtual std::unique_ptr<PopUpMenuView> popUpMenu(const std::shared_ptr<NSMenu>& menu,
                                                   TrayIconView* near, MenuShown shown) = 0;
};

// Gives the toolkit, loading it on the first call; nullptr when it cannot be loaded (logged).
using PanelToolkitSource = std::function<PanelToolkit*()>;
