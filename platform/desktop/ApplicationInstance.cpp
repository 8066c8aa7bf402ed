#include "platform/desktop/ApplicationInstance.h"

#include <algorithm>
#include <cstdio>
#include <memory>
#include <optional>
#include <string>
#include <utility>

#include "platform/desktop/CancelAfter.h"
#include "platform/foundation/NSLog.h"

namespace {

// Long enough for a busy instance to show its window, short enough that a launch against a hung
// one says so within five seconds.
constexpr int activationTimeoutMilliseconds = 4000;
// The bus itself answers at once; one that does not is not waited for.
constexpr int busTimeoutMilliseconds = 3000;
constexpr std::chrono::seconds registrationBound{5};

constexpr const char* tokenKey = "pyrelle-activation-token";

GApplicationClass* parentClass = nullptr;

// Keeps the token that a later launch passed in its platform data, for the activate handler.
void keepActivationToken(GApplication* application, GVariant* platformData) {
  const char* token = nullptr;
  if (g_variant_lookup(platformData, "activation-token", "&s", &token) ||
      g_variant_lookup(platformData, "desktop-startup-id", "&s", &token)) {
    g_object_set_data_full(G_OBJECT(application), tokenKey, g_strdup(token), g_free);
  }
  parentClass->before_emit(application, platformData);
}

void initialiseClass(gpointer type, gpointer /*data*/) {
  auto* applicationClass = static_cast<GApplicationClass*>(type);
  parentClass = static_cast<GApplicationClass*>(g_type_class_peek_parent(type));
  applicationClass->before_emit = keepActivationToken;
}

// A GApplication that keeps the activation token it is handed (GtkApplication does the same).
GType applicationType() {
  static const GType type = g_type_register_static_simple(
      G_TYPE_APPLICATION, "PyrelleInstance", sizeof(GApplicationClass), initialiseClass,
      sizeof(GApplication), nullptr, static_cast<GTypeFlags>(0));
  return type;
}

// The token this launch was started with, for the running instance to come to the front with.
void addActivationToken(GVariantBuilder& platformData) {
  for (const auto& [variable, key] : {std::pair{"XDG_ACTIVATION_TOKEN", "activation-token"},
                                      std::pair{"DESKTOP_STARTUP_ID", "desktop-startup-id"}}) {
    const char* value = g_getenv(variable);
    if (value != nullptr && value[0] != '\0')
      g_variant_builder_add(&platformData, "{sv}", key, g_variant_new_string(value));
  }
}

// Where a GApplication with `applicationId` exports itself: "/io/github/pyrelle/Pyrelle".
std::string objectPathOf(const char* applicationId) {
  std::string path = std::string("/") + applicationId;
  std::ranges::replace(path, '.', '/');
  std::ranges::replace(path, '-', '_');
  return path;
}

// Calls Activate (org.freedesktop.Application) on the instance that owns `applicationId`, and
// waits for its answer, so that success is only reported once it really showed itself.
bool askRunningInstanceToActivate(GDBusConnection* bus, const char* applicationId,
                                  std::string& failure) {
  GVariantBuilder platformData;
  g_variant_builder_init(&platformData, G_VARIANT_TYPE_VARDICT);
  addActivationToken(platformData);
  GErrorOut error;
  GVariantPtr reply(g_dbus_connection_call_sync(
      bus, applicationId, objectPathOf(applicationId).c_str(), "org.freedesktop.Application",
      "Activate", g_variant_new("(a{sv})", &platformData), nullptr, G_DBUS_CALL_FLAGS_NONE,
      activationTimeoutMilliseconds, nullptr, error.out()));
  if (!reply) failure = error.message();
  return static_cast<bool>(reply);
}

// Whether `name` has an owner; nothing (the reason in `failure`) when the bus did not say.
std::optional<bool> nameHasOwner(GDBusConnection* bus, const char* name, std::string& failure) {
  GErrorOut error;
  GVariantPtr reply(g_dbus_connection_call_sync(
      bus, "org.freedesktop.DBus", "/org/freedesktop/DBus", "org.freedesktop.DBus", "NameHasOwner",
      g_variant_new("(s)", name), G_VARIANT_TYPE("(b)"), G_DBUS_CALL_FLAGS_NONE,
      busTimeoutMilliseconds, nullptr, error.out()));
  if (!reply) {
    failure = error.message();
    return std::nullopt;
  }
  gboolean owned = FALSE;
  g_variant_get(reply.get(), "(b)", &owned);
  return owned != FALSE;
}

void sayRunningInstanceDoesNotAnswer(const std::string& reason) {
  std::fprintf(stderr, "pyrelle: Pyrelle is already running but does not answer (%s)\n",
               reason.c_str());
}

}  // namespace

ApplicationInstance::ApplicationInstance(const char* applicationId, GDBusConnection* bus)
    : application(G_APPLICATION(g_object_new(applicationType(), "application-id", applicationId,
                                             "flags", G_APPLICATION_DEFAULT_FLAGS, nullptr))) {
  activateHandler = g_signal_connect(application.get(), "activate", G_CALLBACK(activated), this);
  // Without a bus (said when connecting) there is no other instance to find.
  if (bus != nullptr) _role = registerOrHandOver(bus, applicationId);
}

ApplicationInstance::~ApplicationInstance() {
  g_signal_handler_disconnect(application.get(), activateHandler);
}

// A running instance is asked directly: registering against it would first wait for it to
// describe its actions, for up to 25 s when it hangs.
ApplicationInstance::Role ApplicationInstance::registerOrHandOver(GDBusConnection* bus,
                                                                  const char* applicationId) {
  std::string failure;
  const std::optional<bool> running = nameHasOwner(bus, applicationId, failure);
  if (!running) {
    NSLog("The session bus did not answer (" + loggable(failure) +
          "); running without checking for another Pyrelle");
    return Role::Primary;
  }
  if (*running) return handOver(bus, applicationId);
  GErrorOut error;
  if (!registerWithin(registrationBound, error)) {
    // An instance that took the name meanwhile and does not describe itself in time: hung, and
    // no reason to start a second one.
    if (nameHasOwner(bus, applicationId, failure).value_or(false)) {
      sayRunningInstanceDoesNotAnswer(error.message());
      return Role::Unanswered;
    }
    NSLog("Cannot register on the session bus (" + loggable(error.message()) +
          "); running without checking for another Pyrelle");
    return Role::Primary;
  }
  if (!g_application_get_is_remote(application.get())) return Role::Primary;
  return handOver(bus, applicationId);
}

// GApplication waits on the bus without a bound of its own.
bool ApplicationInstance::registerWithin(std::chrono::milliseconds bound, GErrorOut& error) {
  const GObjectPtr<GCancellable> cancellable(g_cancellable_new());
  const CancelAfter deadline(cancellable.get(), bound);
  return g_application_register(application.get(), cancellable.get(), error.out()) != FALSE;
}

ApplicationInstance::Role ApplicationInstance::handOver(GDBusConnection* bus,
                                                        const char* applicationId) {
  std::string failure;
  if (askRunningInstanceToActivate(bus, applicationId, failure)) return Role::HandedOver;
  sayRunningInstanceDoesNotAnswer(failure);
  return Role::Unanswered;
}

void ApplicationInstance::activated(GApplication* application, gpointer self) {
  const GCharPtr token(static_cast<gchar*>(g_object_steal_data(G_OBJECT(application), tokenKey)));
  const auto& handler = static_cast<ApplicationInstance*>(self)->activation;
  if (handler) handler(token ? token.get() : "");
}
