#pragma once
// Refuses dbusmenu requests for the item's menu that ask for far more than any host does, before
// libdbusmenu-glib does the work: it would build a reply with every property name asked for, or
// queue every event of a group, and a peer's single call could leave the process holding
// hundreds of megabytes. Our menu has a handful of entries; hosts ask for a few properties and
// a few ids at a time. A request past a bound gets org.freedesktop.DBus.Error.InvalidArgs
// naming the bound.
//
// The check runs as a filter of the connection, in GDBus's worker thread: it reads only the
// message and constant data.

#include <gio/gio.h>

#include <cstddef>
#include <string>

#include "platform/foundation/GLibPtr.h"

class MenuRequestLimits {
 public:
  // Property names in GetLayout and GetGroupProperties.
  static constexpr std::size_t maxPropertyNames = 64;
  // Entry ids in GetGroupProperties and AboutToShowGroup.
  static constexpr std::size_t maxIds = 1024;
  // Events in EventGroup.
  static constexpr std::size_t maxEvents = 1024;

  // Guards the dbusmenu object at `menuPath` on `bus` while this exists.
  MenuRequestLimits(GDBusConnection* bus, const std::string& menuPath);
  ~MenuRequestLimits();
  MenuRequestLimits(const MenuRequestLimits&) = delete;
  MenuRequestLimits& operator=(const MenuRequestLimits&) = delete;

 private:
  GObjectPtr<GDBusConnection> bus;
  guint filter = 0;
};
