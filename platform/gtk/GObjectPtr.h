#pragma once
// Owning wrappers for GTK widgets and for signal handlers, so that every reference the view
// takes and every handler it connects is given back when its owner goes. The plain GLib ones
// (GObjectPtr, GErrorPtr, GBytesPtr...) come from GLibPtr.h.

#include <gtk/gtk.h>

#include <memory>
#include <utility>

#include "platform/foundation/GLibPtr.h"

struct WidgetDestroy {
  void operator()(GtkWidget* widget) const {
    if (widget == nullptr) return;
    gtk_widget_destroy(widget);
    g_object_unref(widget);
  }
};

// A toplevel widget (window, menu, dialog): destroyed and released with its owner. Holds a
// reference of its own, so the widget stays valid until then whoever else lets go.
using OwnedWidget = std::unique_ptr<GtkWidget, WidgetDestroy>;

inline OwnedWidget ownWidget(GtkWidget* widget) {
  if (widget != nullptr) g_object_ref_sink(widget);
  return OwnedWidget(widget);
}

// A signal handler, disconnected when this goes. The instance must outlive it: owners declare
// their connections after the objects they connect to.
class SignalConnection {
 public:
  SignalConnection() = default;
  SignalConnection(gpointer object, const char* signal, GCallback callback, gpointer data)
      : instance(object), id(g_signal_connect(object, signal, callback, data)) {}
  ~SignalConnection() {
    if (id != 0) g_signal_handler_disconnect(instance, id);
  }
  SignalConnection(SignalConnection&& other) noexcept
      : instance(other.instance), id(std::exchange(other.id, 0)) {}
  SignalConnection& operator=(SignalConnection&& other) noexcept {
    std::swap(instance, other.instance);
    std::swap(id, other.id);
    return *this;
  }

  void block() const {
    if (id != 0) g_signal_handler_block(instance, id);
  }
  void unblock() const {
    if (id != 0) g_signal_handler_unblock(instance, id);
  }

 private:
  gpointer instance = nullptr;
  gulong id = 0;
};
