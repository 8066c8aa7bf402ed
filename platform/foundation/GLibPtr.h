#pragma once
// Owning wrappers for GLib handles, shared by the platform implementations. For platform code
// only: upper layers never include this header, as they never see GLib types.

#include <glib-object.h>
#include <glib.h>

#include <memory>
#include <string>
#include <utility>

// Gives back what a unique_ptr owns with `release` (unique_ptr never passes it null).
template <auto release>
struct GLibRelease {
  template <class T>
  void operator()(T* pointer) const {
    release(pointer);
  }
};

using GCharPtr = std::unique_ptr<gchar, GLibRelease<g_free>>;
using GStrvPtr = std::unique_ptr<gchar*, GLibRelease<g_strfreev>>;
using GErrorPtr = std::unique_ptr<GError, GLibRelease<g_error_free>>;
using GKeyFilePtr = std::unique_ptr<GKeyFile, GLibRelease<g_key_file_unref>>;
using GBytesPtr = std::unique_ptr<GBytes, GLibRelease<g_bytes_unref>>;
using GMainLoopPtr = std::unique_ptr<GMainLoop, GLibRelease<g_main_loop_unref>>;
using GVariantPtr = std::unique_ptr<GVariant, GLibRelease<g_variant_unref>>;

// An attached source: removed from its context when its owner goes, so it never fires again.
struct GSourceDestroy {
  void operator()(GSource* source) const {
    g_source_destroy(source);
    g_source_unref(source);
  }
};
using GSourcePtr = std::unique_ptr<GSource, GSourceDestroy>;

struct GObjectUnref {
  void operator()(gpointer object) const {
    if (object != nullptr) g_object_unref(object);
  }
};

// One reference to a GObject.
template <class T>
using GObjectPtr = std::unique_ptr<T, GObjectUnref>;

// Receives a GError from a C call (pass out()) and owns it afterwards.
class GErrorOut {
 public:
  GErrorOut() = default;
  GErrorOut(const GErrorOut&) = delete;
  GErrorOut& operator=(const GErrorOut&) = delete;
  ~GErrorOut() { g_clear_error(&raw); }

  GError** out() { return &raw; }
  const GError* get() const { return raw; }
  GErrorPtr take() { return GErrorPtr(std::exchange(raw, nullptr)); }
  // The error's text, or "unknown error" when a call failed without setting one.
  std::string message() const { return raw != nullptr ? raw->message : "unknown error"; }

 private:
  GError* raw = nullptr;
};
