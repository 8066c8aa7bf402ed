#include "platform/panel/MenuRequestLimits.h"

#include <malloc.h>

#include <cstring>

namespace {

constexpr const char* dbusmenuInterface = "com.canonical.dbusmenu";
// Time enough for GDBus to free a refused message.
constexpr guint trimDelayMilliseconds = 100;

// An array argument of a dbusmenu method and how many elements it may hold.
struct Bound {
  const char* method;
  const char* signature;
  gsize argument;
  gsize most;
  const char* what;
};

constexpr Bound bounds[] = {
    {"GetLayout", "(iias)", 2, MenuRequestLimits::maxPropertyNames, "property names"},
    {"GetGroupProperties", "(aias)", 0, MenuRequestLimits::maxIds, "ids"},
    {"GetGroupProperties", "(aias)", 1, MenuRequestLimits::maxPropertyNames, "property names"},
    {"AboutToShowGroup", "(ai)", 0, MenuRequestLimits::maxIds, "ids"},
    {"EventGroup", "(a(isvu))", 0, MenuRequestLimits::maxEvents, "events"},
};

// The bound `body` of a call to `method` goes past; nullptr when it keeps to all of them.
// Counting an array's elements reads only its framing, however long it is.
const Bound* exceeded(const char* method, GVariant* body) {
  if (method == nullptr || body == nullptr) return nullptr;
  for (const Bound& bound : bounds) {
    if (std::strcmp(method, bound.method) != 0 ||
        std::strcmp(g_variant_get_type_string(body), bound.signature) != 0)
      continue;
    const GVariantPtr array(g_variant_get_child_value(body, bound.argument));
    if (g_variant_n_children(array.get()) > bound.most) return &bound;
  }
  return nullptr;
}

// GDBus takes an array apart into one value per element as it reads a message: far more memory
// than the message, freed once the message is dropped but kept by malloc, the process's
// resident size grown for good. Given back soon after the refusal, on the main thread. (A GLib
// before 2.76 keeps them in slice caches of its own unless G_SLICE=always-malloc, which the
// program sees to: platform/desktop/PlainAllocation.h.)
gboolean trimHeap(gpointer /*unused*/) {
  malloc_trim(0);
  return G_SOURCE_REMOVE;
}

// Runs in GDBus's worker thread for every message on the connection.
GDBusMessage* limitRequest(GDBusConnection* bus, GDBusMessage* message, gboolean incoming,
                           gpointer menuPath) {
  if (!incoming || g_dbus_message_get_message_type(message) != G_DBUS_MESSAGE_TYPE_METHOD_CALL)
    return message;
  const char* interface = g_dbus_message_get_interface(message);
  if ((interface != nullptr && std::strcmp(interface, dbusmenuInterface) != 0) ||
      g_strcmp0(g_dbus_message_get_path(message), static_cast<const char*>(menuPath)) != 0)
    return message;
  const Bound* bound =
      exceeded(g_dbus_message_get_member(message), g_dbus_message_get_body(message));
  if (bound == nullptr) return message;
  if ((g_dbus_message_get_flags(message) & G_DBUS_MESSAGE_FLAGS_NO_REPLY_EXPECTED) == 0) {
    const GObjectPtr<GDBusMessage> refusal(g_dbus_message_new_method_error(
        message, "org.freedesktop.DBus.Error.InvalidArgs",
        "%s takes at most %" G_GSIZE_FORMAT " %s", bound->method, bound->most, bound->what));
    g_dbus_connection_send_message(bus, refusal.get(), G_DBUS_SEND_MESSAGE_FLAGS_NONE, nullptr,
                                   nullptr);
  }
  // Dropped: nothing else sees it.
  g_object_unref(message);
  g_timeout_add(trimDelayMilliseconds, trimHeap, nullptr);
  return nullptr;
}

}  // namespace

MenuRequestLimits::MenuRequestLimits(GDBusConnection* connection, const std::string& menuPath)
    : bus(G_DBUS_CONNECTION(g_object_ref(connection))) {
  // The worker thread may still run the filter after it is removed: the path it reads is freed
  // only when GDBus says it no longer can.
  filter =
      g_dbus_connection_add_filter(bus.get(), limitRequest, g_strdup(menuPath.c_str()), g_free);
}

MenuRequestLimits::~MenuRequestLimits() { g_dbus_connection_remove_filter(bus.get(), filter); }
