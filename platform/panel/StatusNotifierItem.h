#pragma once
// The panel item as a StatusNotifierItem on the session bus (freedesktop's StatusNotifierItem
// protocol with the Ayatana label extension), from the interface's own XML through
// gdbus-codegen: owns "org.kde.StatusNotifierItem-<pid>-<n>" and exports /StatusNotifierItem
// (/StatusNotifierItem/<n> for a process's further items). Hosts read its properties and take
// its menu from the dbusmenu object at `menuPath`; each setter sends its change signal only when
// the value changed, and properties send no PropertiesChanged of their own.

#include <gio/gio.h>

#include <functional>
#include <string>
#include <vector>

#include "platform/foundation/GLibPtr.h"
#include "platform/panel/TitleIcon.h"

struct _SniStatusNotifierItem;

class StatusNotifierItem {
 public:
  struct Callbacks {
    // The item is ready to register with a watcher: its bus name is settled (owned, or found
    // taken, logged; hosts then know it by its connection).
    std::function<void()> named;
    // A host asked for the menu (Activate, ContextMenu), at screen position x, y.
    std::function<void(int x, int y)> menuRequested;
    // A host handed over an xdg-activation token before a click (ProvideXdgActivationToken).
    std::function<void(const std::string& token)> activationToken;
  };

  // Exports the object on `bus`; `number` tells this process's items apart. Nothing is exported
  // (logged) when the object cannot be registered: `named` is then never called.
  StatusNotifierItem(GDBusConnection* bus, unsigned number, const std::string& menuPath,
                     Callbacks callbacks);
  ~StatusNotifierItem();
  StatusNotifierItem(const StatusNotifierItem&) = delete;
  StatusNotifierItem& operator=(const StatusNotifierItem&) = delete;

  const std::string& objectPath() const { return path; }
  // False when the object could not be exported.
  bool isExported() const { return exported; }

  // XAyatanaLabel, the text beside the icon ("" for none), and its guide.
  void setLabel(const std::string& label, const std::string& guide);
  // IconName (a name in the icon theme; empty for none) and IconPixmap.
  void setIcon(const std::string& iconName, std::vector<TitleIcon> pixmaps);
  // The ToolTip's title.
  void setToolTip(const std::string& text);
  // IconThemePath: a folder where hosts look for IconName first. Set before a host reads it.
  void setIconThemePath(const std::string& folder);

 private:
  static gboolean handleMenuRequest(_SniStatusNotifierItem* object,
                                    GDBusMethodInvocation* invocation, gint x, gint y,
                                    gpointer self);
  static gboolean handleIgnored(_SniStatusNotifierItem* object, GDBusMethodInvocation* invocation);
  static gboolean handleActivationToken(_SniStatusNotifierItem* object,
                                        GDBusMethodInvocation* invocation, const char* token,
                                        gpointer self);
  static void nameAcquired(GDBusConnection* bus, const char* name, gpointer self);
  static void nameLost(GDBusConnection* bus, const char* name, gpointer self);
  void emit(const char* signal, GVariant* parameters);

  GObjectPtr<GDBusConnection> bus;
  GObjectPtr<_SniStatusNotifierItem> skeleton;
  std::string path;
  Callbacks callbacks;
  std::vector<TitleIcon> pixmaps;
  bool exported = false;
  guint ownership = 0;
  bool named = false;
  bool emitFailureLogged = false;
};
