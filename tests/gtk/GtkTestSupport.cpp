#include "GtkTestSupport.h"

#include <gtk/gtk.h>

#include "platform/foundation/NSRunLoop.h"

bool spinUntil(const std::function<bool()>& done, std::chrono::milliseconds timeout) {
  bool expired = false;
  const guint watchdog = g_timeout_add(
      static_cast<guint>(timeout.count()),
      [](gpointer flag) -> gboolean {
        *static_cast<bool*>(flag) = true;
        return G_SOURCE_REMOVE;
      },
      &expired);
  while (!done() && !expired) g_main_context_iteration(nullptr, TRUE);
  if (!expired) g_source_remove(watchdog);
  return done();
}

void spinFor(std::chrono::milliseconds duration) {
  spinUntil([] { return false; }, duration);
}

GtkViewTest::GtkViewTest() {
  backend = std::make_unique<GtkApplicationBackend>(
      GtkApplicationBackend::Options{.publishPlatformServices = false});
  int argc = 1;
  char name[] = "gtk_tests";
  char* args[] = {name, nullptr};
  char** argv = args;
  EXPECT_EQ(backend->start(argc, argv), 0);
  backend->interfaceLoaded(objects);
}

GtkViewTest::~GtkViewTest() {
  backend.reset();
  // Lets the bus see the indicators go before the next test makes new ones.
  spinFor(std::chrono::milliseconds(20));
  NSRunLoop::mainRunLoop().resetForTesting();
}

namespace {

constexpr const char* watcherName = "org.kde.StatusNotifierWatcher";
constexpr const char* watcherPath = "/StatusNotifierWatcher";
constexpr const char* watcherXml = R"(
<node>
  <interface name="org.kde.StatusNotifierWatcher">
    <method name="RegisterStatusNotifierItem"><arg name="service" type="s" direction="in"/></method>
    <method name="RegisterStatusNotifierHost"><arg name="service" type="s" direction="in"/></method>
    <property name="RegisteredStatusNotifierItems" type="as" access="read"/>
    <property name="IsStatusNotifierHostRegistered" type="b" access="read"/>
    <property name="ProtocolVersion" type="i" access="read"/>
    <signal name="StatusNotifierItemRegistered"><arg type="s"/></signal>
    <signal name="StatusNotifierItemUnregistered"><arg type="s"/></signal>
    <signal name="StatusNotifierHostRegistered"/>
  </interface>
</node>)";

}  // namespace

TestStatusNotifierWatcher::TestStatusNotifierWatcher() {
  GError* error = nullptr;
  gchar* address = g_dbus_address_get_for_bus_sync(G_BUS_TYPE_SESSION, nullptr, &error);
  if (address == nullptr) {
    ADD_FAILURE() << "no session bus: " << error->message;
    g_error_free(error);
    return;
  }
  bus = g_dbus_connection_new_for_address_sync(
      address,
      static_cast<GDBusConnectionFlags>(G_DBUS_CONNECTION_FLAGS_AUTHENTICATION_CLIENT |
                                        G_DBUS_CONNECTION_FLAGS_MESSAGE_BUS_CONNECTION),
      nullptr, nullptr, &error);
  g_free(address);
  if (bus == nullptr) {
    ADD_FAILURE() << "cannot connect to the session bus: " << error->message;
    g_error_free(error);
    return;
  }
  GDBusNodeInfo* node = g_dbus_node_info_new_for_xml(watcherXml, nullptr);
  static const GDBusInterfaceVTable vtable = {methodCalled, propertyRead, nullptr, {}};
  objectId = g_dbus_connection_register_object(bus, watcherPath, node->interfaces[0], &vtable, this,
                                               nullptr, nullptr);
  g_dbus_node_info_unref(node);
  nameId = g_bus_own_name_on_connection(
      bus, watcherName, G_BUS_NAME_OWNER_FLAGS_NONE,
      [](GDBusConnection*, const char*, gpointer self) {
        static_cast<TestStatusNotifierWatcher*>(self)->owned = true;
      },
      nullptr, this, nullptr);
  EXPECT_TRUE(spinUntil([this] { return owned; })) << "the watcher's name was not granted";
}

TestStatusNotifierWatcher::~TestStatusNotifierWatcher() {
  if (bus == nullptr) return;
  g_bus_unown_name(nameId);
  g_dbus_connection_unregister_object(bus, objectId);
  g_dbus_connection_close_sync(bus, nullptr, nullptr);
  g_object_unref(bus);
}

GVariant* TestStatusNotifierWatcher::call(const std::string& busName, const std::string& objectPath,
                                          const char* interface, const char* method,
                                          GVariant* parameters) {
  struct Reply {
    GVariant* value = nullptr;
    GError* error = nullptr;
    bool done = false;
  } reply;
  g_dbus_connection_call(
      bus, busName.c_str(), objectPath.c_str(), interface, method, parameters, nullptr,
      G_DBUS_CALL_FLAGS_NONE, 2000, nullptr,
      [](GObject* source, GAsyncResult* result, gpointer data) {
        auto* reply = static_cast<Reply*>(data);
        reply->value =
            g_dbus_connection_call_finish(G_DBUS_CONNECTION(source), result, &reply->error);
        reply->done = true;
      },
      &reply);
  // The call's own timeout ends the wait at the latest.
  spinUntil([&reply] { return reply.done; }, std::chrono::seconds(10));
  if (reply.error != nullptr) {
    ADD_FAILURE() << method << " failed: " << reply.error->message;
    g_error_free(reply.error);
  }
  return reply.value;
}

GVariant* TestStatusNotifierWatcher::itemProperty(const Item& item, const char* property) {
  GVariant* reply = call(item.busName, item.objectPath, "org.freedesktop.DBus.Properties", "Get",
                         g_variant_new("(ss)", "org.kde.StatusNotifierItem", property));
  if (reply == nullptr) return nullptr;
  GVariant* value = nullptr;
  g_variant_get(reply, "(v)", &value);
  g_variant_unref(reply);
  return value;
}

void TestStatusNotifierWatcher::methodCalled(GDBusConnection* /*connection*/, const char* sender,
                                             const char* /*path*/, const char* /*interface*/,
                                             const char* method, GVariant* parameters,
                                             GDBusMethodInvocation* invocation, gpointer self) {
  auto* watcher = static_cast<TestStatusNotifierWatcher*>(self);
  const char* service = nullptr;
  g_variant_get(parameters, "(&s)", &service);
  if (g_strcmp0(method, "RegisterStatusNotifierItem") == 0) {
    // The item names either its object path (on the caller's connection) or a bus name.
    if (service[0] == '/') {
      watcher->registered.push_back({sender, service});
    } else {
      watcher->registered.push_back({service, "/StatusNotifierItem"});
    }
  }
  g_dbus_method_invocation_return_value(invocation, nullptr);
}

GVariant* TestStatusNotifierWatcher::propertyRead(GDBusConnection* /*connection*/,
                                                  const char* /*sender*/, const char* /*path*/,
                                                  const char* /*interface*/, const char* property,
                                                  GError** /*error*/, gpointer self) {
  auto* watcher = static_cast<TestStatusNotifierWatcher*>(self);
  if (g_strcmp0(property, "IsStatusNotifierHostRegistered") == 0)
    return g_variant_new_boolean(TRUE);
  if (g_strcmp0(property, "ProtocolVersion") == 0) return g_variant_new_int32(0);
  GVariantBuilder names;
  g_variant_builder_init(&names, G_VARIANT_TYPE("as"));
  for (const Item& item : watcher->registered) {
    g_variant_builder_add(&names, "s", (item.busName + item.objectPath).c_str());
  }
  return g_variant_builder_end(&names);
}
