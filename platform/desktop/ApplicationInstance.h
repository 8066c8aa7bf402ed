#pragma once
// One Pyrelle per session. The first launch owns the application id as a well-known name on the
// session bus (a GApplication: GIO only, no toolkit); a later launch asks that one to activate,
// which shows its preferences window, and ends. Every call on the bus has a time bound.

#include <gio/gio.h>

#include <chrono>
#include <functional>
#include <string>

#include "platform/foundation/GLibPtr.h"

class ApplicationInstance {
 public:
  enum class Role {
    // This process runs the application; also when there is no session bus to ask, or it
    // does not answer (logged).
    Primary,
    // The running instance took the activation: this process ends with status 0.
    HandedOver,
    // The running instance did not answer (said on standard error): this process ends with 1.
    Unanswered,
  };

  // Registers `applicationId` on `bus` (nullptr: none to use); when another process owns it,
  // asks that one to activate and waits (4 s at most) for its answer.
  ApplicationInstance(const char* applicationId, GDBusConnection* bus);
  ~ApplicationInstance();
  ApplicationInstance(const ApplicationInstance&) = delete;
  ApplicationInstance& operator=(const ApplicationInstance&) = delete;

  Role role() const { return _role; }
  // While primary: `handler` runs on the main thread, from the GLib main loop, whenever a later
  // launch asks this instance to activate, with the activation token (or startup id) that
  // launch was given ("" for none). Empty: nothing runs.
  using ActivationHandler = std::function<void(const std::string& activationToken)>;
  void setActivationHandler(ActivationHandler handler) { activation = std::move(handler); }

 private:
  Role registerOrHandOver(GDBusConnection* bus, const char* applicationId);
  Role handOver(GDBusConnection* bus, const char* applicationId);
  bool registerWithin(std::chrono::milliseconds bound, GErrorOut& error);
  static void activated(GApplication* application, gpointer self);

  GObjectPtr<GApplication> application;
  gulong activateHandler = 0;
  ActivationHandler activation;
  Role _role = Role::Primary;
};
