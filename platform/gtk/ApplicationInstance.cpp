#include "platform/gtk/ApplicationInstance.h"

#include <cstdio>
#include <memory>
#include <string>

#include "platform/foundation/NSLog.h"

namespace {

// Long enough for a busy instance, short enough that a hung one does not hang the new launch.
constexpr int activationTimeoutMilliseconds = 10000;

using GVariantPtr = std::unique_ptr<GVariant, GLibRelease<g_variant_unref>>;

// Calls Activate (org.freedesktop.Application) on the instance that owns the name, and waits
// for its answer, so that success is only reported once it really showed itself.
bool askRunningInstanceToActivate(GApplication* application, std::string& failure) {
  GDBusConnection* bus = g_application_get_dbus_connection(application);
  const char* path = g_application_get_dbus_object_path(application);
  if (bus == nullptr || path == nullptr) {
    failure = "no object path on the session bus";
    return false;
  }
  GVariantBuilder platformData;
  g_variant_builder_init(&platformData, G_VARIANT_TYPE_VARDICT);
  GErrorOut error;
  GVariantPtr reply(g_dbus_connection_call_sync(
      bus, g_application_get_application_id(application), path, "org.freedesktop.Application",
      "Activate", g_variant_new("(a{sv})", &platformData), nullptr, G_DBUS_CALL_FLAGS_NONE,
      activationTimeoutMilliseconds, nullptr, error.out()));
  if (!reply) failure = error.message();
  return static_cast<bool>(reply);
}

bool nameHasOwner(GDBusConnection* bus, const char* name) {
  GVariantPtr reply(g_dbus_connection_call_sync(
      bus, "org.freedesktop.DBus", "/org/freedesktop/DBus", "org.freedesktop.DBus", "NameHasOwner",
      g_variant_new("(s)", name), G_VARIANT_TYPE("(b)"), G_DBUS_CALL_FLAGS_NONE, -1, nullptr,
      nullptr));
  gboolean owned = FALSE;
  if (reply) g_variant_get(reply.get(), "(b)", &owned);
  return owned != FALSE;
}

void sayRunningInstanceDoesNotAnswer(const std::string& reason) {
  std::fprintf(stderr, "pyrelle: Pyrelle is already running but does not answer (%s)\n",
               reason.c_str());
}

}  // namespace

ApplicationInstance::ApplicationInstance(const char* applicationId)
    : application(g_application_new(applicationId, G_APPLICATION_DEFAULT_FLAGS)) {
  activateHandler = g_signal_connect(application.get(), "activate", G_CALLBACK(activated), this);
  _role = registerOrHandOver();
}

ApplicationInstance::~ApplicationInstance() {
  g_signal_handler_disconnect(application.get(), activateHandler);
}

ApplicationInstance::Role ApplicationInstance::registerOrHandOver() {
  GErrorOut error;
  if (!g_application_register(application.get(), nullptr, error.out())) {
    // GApplication also fails when the name's owner does not describe itself in time: a hung
    // instance, and no reason to start a second one.
    GObjectPtr<GDBusConnection> bus(g_bus_get_sync(G_BUS_TYPE_SESSION, nullptr, nullptr));
    if (bus && nameHasOwner(bus.get(), g_application_get_application_id(application.get()))) {
      sayRunningInstanceDoesNotAnswer(error.message());
      return Role::Unanswered;
    }
    NSLog("Cannot register on the session bus (" + error.message() +
          "); running without checking for another Pyrelle");
    return Role::Primary;
  }
  if (g_application_get_dbus_connection(application.get()) == nullptr) {
    NSLog("No session bus; running without checking for another Pyrelle");
    return Role::Primary;
  }
  if (!g_application_get_is_remote(application.get())) return Role::Primary;

  std::string failure;
  if (askRunningInstanceToActivate(application.get(), failure)) return Role::HandedOver;
  sayRunningInstanceDoesNotAnswer(failure);
  return Role::Unanswered;
}

void ApplicationInstance::activated(GApplication* /*application*/, gpointer self) {
  const auto& handler = static_cast<ApplicationInstance*>(self)->activation;
  if (handler) handler();
}
