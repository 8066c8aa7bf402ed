#include "platform/panel/WatcherClient.h"

#include "platform/foundation/NSLog.h"
#include "platform/panel/HostProcess.h"

namespace {

constexpr const char* watcherName = "org.kde.StatusNotifierWatcher";
constexpr int callTimeoutMs = 10000;
// A watcher that is still starting may refuse an item; it gets this many tries, this far apart.
constexpr int registrationTries = 3;
constexpr guint retrySeconds = 2;
// A watcher that keeps dropping the item is not asked again for ever: the tray icon shows it.
constexpr int dropsTaken = 3;

// The reply of a call made for an owner still current; nullptr when it failed (in `error`) or was
// cancelled because the owner changed or the client went (`self` must not be used then).
GVariant* finish(GObject* bus, GAsyncResult* result, GErrorOut& error) {
  return g_dbus_connection_call_finish(G_DBUS_CONNECTION(bus), result, error.out());
}

bool cancelled(const GErrorOut& error) {
  return g_error_matches(error.get(), G_IO_ERROR, G_IO_ERROR_CANCELLED);
}

}  // namespace

WatcherClient::WatcherClient(GDBusConnection* connection, std::string name, Listener& events,
                             std::chrono::milliseconds dropsForgiven)
    : bus(G_DBUS_CONNECTION(g_object_ref(connection))),
      service(std::move(name)),
      listener(events),
      forgiveAfter(dropsForgiven) {
  unregistered = g_dbus_connection_signal_subscribe(
      bus.get(), nullptr, watcherName, "StatusNotifierItemUnregistered", "/StatusNotifierWatcher",
      nullptr, G_DBUS_SIGNAL_FLAGS_NONE, itemUnregistered, this, nullptr);
  watch = g_bus_watch_name_on_connection(bus.get(), watcherName, G_BUS_NAME_WATCHER_FLAGS_NONE,
                                         appeared, vanished, this, nullptr);
}

WatcherClient::~WatcherClient() {
  g_bus_unwatch_name(watch);
  g_dbus_connection_signal_unsubscribe(bus.get(), unregistered);
  forgetOwner();
}

void WatcherClient::forgetOwner() {
  if (pending) g_cancellable_cancel(pending.get());
  pending.reset();
  if (retry != 0) g_source_remove(retry);
  retry = 0;
  refusals = 0;
  drops = 0;
  held.reset();
  owner.clear();
}

void WatcherClient::appeared(GDBusConnection* /*bus*/, const char* /*name*/, const char* owner,
                             gpointer self) {
  auto* client = static_cast<WatcherClient*>(self);
  client->forgetOwner();
  client->owner = owner;
  client->pending.reset(g_cancellable_new());
  g_dbus_connection_call(client->bus.get(), "org.freedesktop.DBus", "/org/freedesktop/DBus",
                         "org.freedesktop.DBus", "GetConnectionUnixProcessID",
                         g_variant_new("(s)", owner), G_VARIANT_TYPE("(u)"), G_DBUS_CALL_FLAGS_NONE,
                         callTimeoutMs, client->pending.get(), identified, client);
}

void WatcherClient::vanished(GDBusConnection* /*bus*/, const char* /*name*/, gpointer self) {
  auto* client = static_cast<WatcherClient*>(self);
  client->forgetOwner();
  client->listener.watcherGone();
}

void WatcherClient::identified(GObject* bus, GAsyncResult* result, gpointer self) {
  GErrorOut error;
  GVariant* reply = finish(bus, result, error);
  if (reply == nullptr && cancelled(error)) return;
  auto* client = static_cast<WatcherClient*>(self);
  guint32 pid = 0;
  if (reply != nullptr) {
    g_variant_get(reply, "(u)", &pid);
    g_variant_unref(reply);
  } else {
    NSLog("Panel: cannot tell which program shows status items (" + loggable(error.message()) +
          "); showing the title as for an unknown panel");
  }
  client->listener.watcherAppeared(processName(static_cast<int>(pid)));
  client->registerItem();
}

void WatcherClient::registerItem() {
  g_dbus_connection_call(bus.get(), owner.c_str(), "/StatusNotifierWatcher", watcherName,
                         "RegisterStatusNotifierItem", g_variant_new("(s)", service.c_str()),
                         nullptr, G_DBUS_CALL_FLAGS_NONE, callTimeoutMs, pending.get(), answered,
                         this);
}

gboolean WatcherClient::retryDue(gpointer self) {
  auto* client = static_cast<WatcherClient*>(self);
  client->retry = 0;
  client->registerItem();
  return G_SOURCE_REMOVE;
}

// Watchers name an item by the service it registered as, or by its connection and object path
// (":1.5/StatusNotifierItem", ":1.5@/StatusNotifierItem").
bool WatcherClient::namesThisItem(std::string_view item) const {
  const char* connection = g_dbus_connection_get_unique_name(bus.get());
  for (const std::string_view name :
       {std::string_view(service), std::string_view(connection ? connection : "")}) {
    if (name.empty() || !item.starts_with(name)) continue;
    const std::string_view rest = item.substr(name.size());
    if (rest.empty() || rest.front() == '/' || rest.front() == '@') return true;
  }
  return false;
}

void WatcherClient::itemUnregistered(GDBusConnection* /*bus*/, const char* sender,
                                     const char* /*path*/, const char* /*interface*/,
                                     const char* /*signal*/, GVariant* parameters, gpointer self) {
  auto* client = static_cast<WatcherClient*>(self);
  if (client->owner.empty() || client->owner != sender || client->retry != 0) return;
  if (!g_variant_is_of_type(parameters, G_VARIANT_TYPE("(s)"))) return;
  const char* item = nullptr;
  g_variant_get(parameters, "(&s)", &item);
  // Past the limit the item is no longer registered, and the tray shows it.
  if (!client->namesThisItem(item) || client->drops > dropsTaken) return;
  client->held.reset();
  if (++client->drops > dropsTaken) {
    NSLog("Panel: the StatusNotifierWatcher dropped the item " + std::to_string(client->drops) +
          " times in a row; showing it in the system tray instead until the panel restarts");
    client->listener.watcherGone();
    return;
  }
  NSLog("Panel: the StatusNotifierWatcher dropped the item; registering it again");
  client->retry = g_timeout_add_seconds(1, retryDue, client);
}

gboolean WatcherClient::heldDue(gpointer self) {
  auto* client = static_cast<WatcherClient*>(self);
  client->drops = 0;
  client->held.reset();
  return G_SOURCE_REMOVE;
}

void WatcherClient::answered(GObject* bus, GAsyncResult* result, gpointer self) {
  GErrorOut error;
  GVariant* reply = finish(bus, result, error);
  if (reply == nullptr && cancelled(error)) return;
  auto* client = static_cast<WatcherClient*>(self);
  if (reply == nullptr && ++client->refusals < registrationTries) {
    client->retry = g_timeout_add_seconds(retrySeconds, retryDue, client);
    return;
  }
  if (reply == nullptr) {
    NSLog("Panel: the StatusNotifierWatcher did not take the item (" + error.message() + ")");
    client->listener.watcherGone();
    return;
  }
  g_variant_unref(reply);
  client->held.reset(g_timeout_source_new(static_cast<guint>(client->forgiveAfter.count())));
  g_source_set_callback(client->held.get(), heldDue, client, nullptr);
  g_source_attach(client->held.get(), nullptr);
  client->listener.itemRegistered();
}
