#pragma once
// The panel item as a StatusNotifierItem on the session bus (the freedesktop StatusNotifierItem
// specification with the Ayatana label extension): owns "org.kde.StatusNotifierItem-<pid>-<n>"
// and exports /StatusNotifierItem (/StatusNotifierItem/<n> for a process's further items). Hosts
// read its properties and take its menu from the dbusmenu object at `menuPath`; each setter sends
// its change signal only when the value changed.

#include <gio/gio.h>

#include <functional>
#include <string>
#include <vector>

#include "platform/foundation/GLibPtr.h"
#include "platform/panel/TitleIcon.h"

class StatusNotifierItem {
 public:
  struct Callbacks {
    // The item is ready to register with a watcher: its bus name is settled (owned, or found
    // taken, logged; hosts then know it by its connection).
    std::function<void()> named;
    // A host asked for the menu (Activate, ContextMenu), at screen position x, y.
    std::function<void(int x, int y)> menuRequested;
  };

  // Exports the object on `bus`; `number` tells this process's items apart. Nothing is exported
  // (logged) when the object cannot be registered: `named` is then never called.
  StatusNotifierItem(GDBusConnection* bus, unsigned number, std::string menuPath,
                     Callbacks callbacks);
  ~StatusNotifierItem();
  StatusNotifierItem(const StatusNotifierItem&) = delete;
  StatusNotifierItem& operator=(const StatusNotifierItem&) = delete;

  const std::string& objectPath() const { return path; }
  // False when the object could not be exported.
  bool isExported() const { return registration != 0; }

  // XAyatanaLabel: the text beside the icon; empty for none.
  void setLabel(const std::string& label);
  // IconName (a name in the icon theme; empty for none) and IconPixmap.
  void setIcon(const std::string& iconName, std::vector<TitleIcon> pixmaps);
  // The ToolTip's title.
  void setToolTip(const std::string& text);
  // IconThemePath: a folder where hosts look for IconName first. Set before a host reads it.
  void setIconThemePath(std::string folder) { iconThemePath = std::move(folder); }

 private:
  static void handleMethod(GDBusConnection* bus, const char* sender, const char* path,
                           const char* interface, const char* method, GVariant* parameters,
                           GDBusMethodInvocation* invocation, gpointer self);
  static GVariant* readProperty(GDBusConnection* bus, const char* sender, const char* path,
                                const char* interface, const char* property, GError** error,
                                gpointer self);
  static void nameAcquired(GDBusConnection* bus, const char* name, gpointer self);
  static void nameLost(GDBusConnection* bus, const char* name, gpointer self);
  GVariant* property(std::string_view name) const;
  void emit(const char* signal, GVariant* parameters) const;

  GObjectPtr<GDBusConnection> bus;
  std::string path;
  std::string menuPath;
  Callbacks callbacks;
  std::string label;
  std::string iconName;
  std::vector<TitleIcon> pixmaps;
  std::string toolTip;
  std::string iconThemePath;
  guint registration = 0;
  guint ownership = 0;
  bool named = false;
};
