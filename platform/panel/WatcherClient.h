#pragma once
// Keeps the item registered with the panel's StatusNotifierWatcher: whenever a process owns
// "org.kde.StatusNotifierWatcher" (at start, or when the owner changes), finds out which program
// it is, tells the listener, then registers the item with that owner. Replies meant for an owner
// that has gone since are dropped. A watcher that drops the item while both live is asked again,
// up to a few times in a row (then logged, and the listener told the watcher is gone); a
// registration that holds for a while clears the count.

#include <gio/gio.h>

#include <chrono>
#include <string>
#include <string_view>

#include "platform/foundation/GLibPtr.h"

class WatcherClient {
 public:
  class Listener {
   public:
    virtual ~Listener() = default;
    // A watcher owns the name; `process` names its program ("" when unknown). Sent before the
    // item registers, so the item's properties can be set for that host first.
    virtual void watcherAppeared(const std::string& process) = 0;
    // The watcher accepted the item.
    virtual void itemRegistered() = 0;
    // No watcher owns the name any more, or the one that does refused the item or dropped it
    // (logged) a few times over.
    virtual void watcherGone() = 0;
  };

  // Starts watching on `bus`; `service` is what the item registers as (its object path on this
  // connection, or its bus name). A registration that holds `dropsForgiven` clears the count of
  // the watcher's drops.
  WatcherClient(GDBusConnection* bus, std::string service, Listener& listener,
                std::chrono::milliseconds dropsForgiven);
  ~WatcherClient();
  WatcherClient(const WatcherClient&) = delete;
  WatcherClient& operator=(const WatcherClient&) = delete;

 private:
  static void appeared(GDBusConnection* bus, const char* name, const char* owner, gpointer self);
  static void vanished(GDBusConnection* bus, const char* name, gpointer self);
  static void identified(GObject* bus, GAsyncResult* result, gpointer self);
  static void answered(GObject* bus, GAsyncResult* result, gpointer self);
  static gboolean retryDue(gpointer self);
  static gboolean heldDue(gpointer self);
  static void itemUnregistered(GDBusConnection* bus, const char* sender, const char* path,
                               const char* interface, const char* signal, GVariant* parameters,
                               gpointer self);
  bool namesThisItem(std::string_view item) const;
  void registerItem();
  void forgetOwner();

  GObjectPtr<GDBusConnection> bus;
  std::string service;
  Listener& listener;
  const std::chrono::milliseconds forgiveAfter;
  std::string owner;
  // Cancels the calls made for the current owner.
  GObjectPtr<GCancellable> pending;
  // Registrations refused by the current owner so far; the next try waits on `retry`.
  int refusals = 0;
  // Times in a row the current owner dropped the item; cleared once a registration held.
  int drops = 0;
  GSourcePtr held;
  guint retry = 0;
  guint unregistered = 0;
  guint watch = 0;
};
