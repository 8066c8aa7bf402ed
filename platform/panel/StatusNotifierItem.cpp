#include "platform/panel/StatusNotifierItem.h"

#include <unistd.h>

#include <algorithm>
#include <utility>

#include "platform/foundation/GLibPtr.h"
#include "platform/foundation/NSBundle.h"
#include "platform/foundation/NSLog.h"
#include "platform/panel/StatusNotifierItemSkeleton.h"

namespace {

// a(iiay): each pixel as ARGB32 in network byte order.
GVariant* pixmapsVariant(const std::vector<TitleIcon>& icons) {
  GVariantBuilder builder;
  g_variant_builder_init(&builder, G_VARIANT_TYPE("a(iiay)"));
  for (const TitleIcon& icon : icons) {
    std::vector<guint8> bytes;
    bytes.reserve(icon.argb.size() * 4);
    for (const std::uint32_t pixel : icon.argb) {
      for (const int shift : {24, 16, 8, 0}) bytes.push_back(static_cast<guint8>(pixel >> shift));
    }
    // Marked trusted (any bytes are a valid "ay"): the property's setter then compares the old
    // and new pixmaps byte for byte, where it would otherwise print both as text first.
    const GBytesPtr data(g_bytes_new(bytes.data(), bytes.size()));
    g_variant_builder_add(&builder, "(ii@ay)", icon.width, icon.height,
                          g_variant_new_from_bytes(G_VARIANT_TYPE_BYTESTRING, data.get(), TRUE));
  }
  return g_variant_builder_end(&builder);
}

GVariant* emptyPixmaps() { return g_variant_new_array(G_VARIANT_TYPE("(iiay)"), nullptr, 0); }

GVariant* toolTipVariant(const std::string& title) {
  return g_variant_new("(s@a(iiay)ss)", "", emptyPixmaps(), title.c_str(), "");
}

bool sameIcons(const std::vector<TitleIcon>& a, const std::vector<TitleIcon>& b) {
  return std::equal(a.begin(), a.end(), b.begin(), b.end(), [](const auto& x, const auto& y) {
    return x.width == y.width && x.height == y.height && x.argb == y.argb;
  });
}

}  // namespace

StatusNotifierItem::StatusNotifierItem(GDBusConnection* connection, unsigned number,
                                       const std::string& menuPath, Callbacks handlers)
    : bus(G_DBUS_CONNECTION(g_object_ref(connection))),
      skeleton(sni_status_notifier_item_skeleton_new()),
      path(number == 1 ? "/StatusNotifierItem" : "/StatusNotifierItem/" + std::to_string(number)),
      callbacks(std::move(handlers)) {
  SniStatusNotifierItem* item = skeleton.get();
  sni_status_notifier_item_set_category(item, "Hardware");
  const BundleIdentity& identity = NSBundle::mainBundle().identity();
  sni_status_notifier_item_set_id(item, identity.programName.c_str());
  sni_status_notifier_item_set_title(item, identity.name.c_str());
  sni_status_notifier_item_set_status(item, "Active");
  sni_status_notifier_item_set_icon_theme_path(item, "");
  sni_status_notifier_item_set_icon_name(item, "");
  for (const auto set :
       {sni_status_notifier_item_set_icon_pixmap, sni_status_notifier_item_set_overlay_icon_pixmap,
        sni_status_notifier_item_set_attention_icon_pixmap})
    set(item, emptyPixmaps());
  sni_status_notifier_item_set_overlay_icon_name(item, "");
  sni_status_notifier_item_set_attention_icon_name(item, "");
  sni_status_notifier_item_set_attention_movie_name(item, "");
  sni_status_notifier_item_set_tool_tip(item, toolTipVariant(""));
  // Hosts show the exported menu on a click themselves; those that call Activate get ours.
  sni_status_notifier_item_set_item_is_menu(item, TRUE);
  sni_status_notifier_item_set_menu(item, menuPath.c_str());
  sni_status_notifier_item_set_xayatana_label(item, "");
  sni_status_notifier_item_set_xayatana_label_guide(item, "");

  g_signal_connect(item, "handle-activate", G_CALLBACK(handleMenuRequest), this);
  g_signal_connect(item, "handle-context-menu", G_CALLBACK(handleMenuRequest), this);
  // A middle click or a scroll does nothing, and says so by succeeding.
  g_signal_connect(item, "handle-secondary-activate", G_CALLBACK(handleIgnored), nullptr);
  g_signal_connect(item, "handle-scroll", G_CALLBACK(handleIgnored), nullptr);
  g_signal_connect(item, "handle-provide-xdg-activation-token", G_CALLBACK(handleActivationToken),
                   this);

  GErrorOut error;
  exported = g_dbus_interface_skeleton_export(G_DBUS_INTERFACE_SKELETON(item), bus.get(),
                                              path.c_str(), error.out());
  if (!exported) {
    NSLog("Panel: cannot export the status item on the session bus (" + error.message() + ")");
    return;
  }
  // Exported before the name is owned, so a host that reacts to the name finds the object.
  const std::string name =
      "org.kde.StatusNotifierItem-" + std::to_string(getpid()) + "-" + std::to_string(number);
  ownership =
      g_bus_own_name_on_connection(bus.get(), name.c_str(), G_BUS_NAME_OWNER_FLAGS_DO_NOT_QUEUE,
                                   nameAcquired, nameLost, this, nullptr);
}

StatusNotifierItem::~StatusNotifierItem() {
  if (ownership != 0) g_bus_unown_name(ownership);
  g_signal_handlers_disconnect_by_data(skeleton.get(), this);
  if (exported) g_dbus_interface_skeleton_unexport(G_DBUS_INTERFACE_SKELETON(skeleton.get()));
}

void StatusNotifierItem::setLabel(const std::string& label, const std::string& guide) {
  SniStatusNotifierItem* item = skeleton.get();
  if (label == sni_status_notifier_item_get_xayatana_label(item) &&
      guide == sni_status_notifier_item_get_xayatana_label_guide(item))
    return;
  sni_status_notifier_item_set_xayatana_label(item, label.c_str());
  sni_status_notifier_item_set_xayatana_label_guide(item, guide.c_str());
  emit("XAyatanaNewLabel", g_variant_new("(ss)", label.c_str(), guide.c_str()));
}

void StatusNotifierItem::setIcon(const std::string& name, std::vector<TitleIcon> icons) {
  SniStatusNotifierItem* item = skeleton.get();
  if (name == sni_status_notifier_item_get_icon_name(item) && sameIcons(icons, pixmaps)) return;
  pixmaps = std::move(icons);
  sni_status_notifier_item_set_icon_name(item, name.c_str());
  sni_status_notifier_item_set_icon_pixmap(item, pixmapsVariant(pixmaps));
  emit("NewIcon", nullptr);
}

void StatusNotifierItem::setToolTip(const std::string& text) {
  SniStatusNotifierItem* item = skeleton.get();
  const gchar* current = "";
  g_variant_get_child(sni_status_notifier_item_get_tool_tip(item), 2, "&s", &current);
  if (text == current) return;
  sni_status_notifier_item_set_tool_tip(item, toolTipVariant(text));
  emit("NewToolTip", nullptr);
}

void StatusNotifierItem::setIconThemePath(const std::string& folder) {
  sni_status_notifier_item_set_icon_theme_path(skeleton.get(), folder.c_str());
}

void StatusNotifierItem::emit(const char* signal, GVariant* parameters) {
  if (!exported) {
    if (parameters != nullptr) g_variant_unref(g_variant_ref_sink(parameters));
    return;
  }
  GErrorOut error;
  if (g_dbus_connection_emit_signal(bus.get(), nullptr, path.c_str(), "org.kde.StatusNotifierItem",
                                    signal, parameters, error.out()) ||
      std::exchange(emitFailureLogged, true))
    return;
  NSLog(std::string("Panel: cannot send ") + signal + " (" + loggable(error.message()) +
        "); the panel may show an old title");
}

gboolean StatusNotifierItem::handleMenuRequest(SniStatusNotifierItem* /*object*/,
                                               GDBusMethodInvocation* invocation, gint x, gint y,
                                               gpointer self) {
  // Answered first: the host must not wait for a menu that stays open.
  g_dbus_method_invocation_return_value(invocation, nullptr);
  const auto& requested = static_cast<StatusNotifierItem*>(self)->callbacks.menuRequested;
  if (requested) requested(x, y);
  return TRUE;
}

gboolean StatusNotifierItem::handleIgnored(SniStatusNotifierItem* /*object*/,
                                           GDBusMethodInvocation* invocation) {
  g_dbus_method_invocation_return_value(invocation, nullptr);
  return TRUE;
}

gboolean StatusNotifierItem::handleActivationToken(SniStatusNotifierItem* object,
                                                   GDBusMethodInvocation* invocation,
                                                   const char* token, gpointer self) {
  sni_status_notifier_item_complete_provide_xdg_activation_token(object, invocation);
  const auto& provided = static_cast<StatusNotifierItem*>(self)->callbacks.activationToken;
  if (provided) provided(token);
  return TRUE;
}

void StatusNotifierItem::nameAcquired(GDBusConnection* /*bus*/, const char* /*name*/,
                                      gpointer self) {
  auto* item = static_cast<StatusNotifierItem*>(self);
  if (std::exchange(item->named, true)) return;
  if (item->callbacks.named) item->callbacks.named();
}

void StatusNotifierItem::nameLost(GDBusConnection* bus, const char* name, gpointer self) {
  auto* item = static_cast<StatusNotifierItem*>(self);
  if (std::exchange(item->named, true) || bus == nullptr) return;
  NSLog(std::string("Panel: cannot own the bus name ") + name +
        "; hosts find the item by its connection");
  if (item->callbacks.named) item->callbacks.named();
}
