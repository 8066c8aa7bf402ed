#include "platform/panel/StatusNotifierItem.h"

#include <unistd.h>

#include <algorithm>
#include <utility>

#include "platform/foundation/NSLog.h"
#include "platform/panel/StatusNotifierItemXml.h"

namespace {

constexpr const char* interfaceName = "org.kde.StatusNotifierItem";
constexpr const char* itemName = "Pyrelle";
// The widest title the label is expected to show, so the panel keeps its width as it changes.
constexpr const char* labelGuide = "-00 °F";

const GDBusInterfaceInfo* interfaceInfo() {
  // Parsed once; the node stays for the life of the process, as the interface it describes.
  static GDBusNodeInfo* const node = g_dbus_node_info_new_for_xml(statusNotifierItemXml, nullptr);
  return node != nullptr ? g_dbus_node_info_lookup_interface(node, interfaceName) : nullptr;
}

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
    g_variant_builder_add(
        &builder, "(ii@ay)", icon.width, icon.height,
        g_variant_new_fixed_array(G_VARIANT_TYPE_BYTE, bytes.data(), bytes.size(), sizeof(guint8)));
  }
  return g_variant_builder_end(&builder);
}

GVariant* emptyPixmaps() { return g_variant_new_array(G_VARIANT_TYPE("(iiay)"), nullptr, 0); }

}  // namespace

StatusNotifierItem::StatusNotifierItem(GDBusConnection* connection, unsigned number,
                                       std::string menu, Callbacks handlers)
    : bus(G_DBUS_CONNECTION(g_object_ref(connection))),
      path(number == 1 ? "/StatusNotifierItem" : "/StatusNotifierItem/" + std::to_string(number)),
      menuPath(std::move(menu)),
      callbacks(std::move(handlers)) {
  static const GDBusInterfaceVTable vtable = {handleMethod, readProperty, nullptr, {}};
  GErrorOut error;
  const GDBusInterfaceInfo* info = interfaceInfo();
  if (info != nullptr) {
    registration = g_dbus_connection_register_object(bus.get(), path.c_str(),
                                                     const_cast<GDBusInterfaceInfo*>(info), &vtable,
                                                     this, nullptr, error.out());
  }
  if (registration == 0) {
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
  if (registration != 0) g_dbus_connection_unregister_object(bus.get(), registration);
}

void StatusNotifierItem::setLabel(const std::string& text) {
  if (text == label) return;
  label = text;
  emit("XAyatanaNewLabel", g_variant_new("(ss)", label.c_str(), label.empty() ? "" : labelGuide));
}

void StatusNotifierItem::setIcon(const std::string& name, std::vector<TitleIcon> icons) {
  const auto same = [](const TitleIcon& a, const TitleIcon& b) {
    return a.width == b.width && a.height == b.height && a.argb == b.argb;
  };
  if (name == iconName &&
      std::equal(icons.begin(), icons.end(), pixmaps.begin(), pixmaps.end(), same))
    return;
  iconName = name;
  pixmaps = std::move(icons);
  emit("NewIcon", nullptr);
}

void StatusNotifierItem::setToolTip(const std::string& text) {
  if (text == toolTip) return;
  toolTip = text;
  emit("NewToolTip", nullptr);
}

void StatusNotifierItem::emit(const char* signal, GVariant* parameters) const {
  if (registration == 0) {
    if (parameters != nullptr) g_variant_unref(g_variant_ref_sink(parameters));
    return;
  }
  g_dbus_connection_emit_signal(bus.get(), nullptr, path.c_str(), interfaceName, signal, parameters,
                                nullptr);
}

GVariant* StatusNotifierItem::property(std::string_view name) const {
  if (name == "Category") return g_variant_new_string("Hardware");
  if (name == "Id") return g_variant_new_string("pyrelle");
  if (name == "Title") return g_variant_new_string(itemName);
  if (name == "Status") return g_variant_new_string("Active");
  if (name == "WindowId") return g_variant_new_int32(0);
  if (name == "IconThemePath") return g_variant_new_string(iconThemePath.c_str());
  if (name == "IconName") return g_variant_new_string(iconName.c_str());
  if (name == "IconPixmap") return pixmapsVariant(pixmaps);
  if (name == "ToolTip") {
    return g_variant_new("(s@a(iiay)ss)", "", emptyPixmaps(), toolTip.c_str(), "");
  }
  if (name == "ItemIsMenu") return g_variant_new_boolean(TRUE);
  if (name == "Menu") return g_variant_new_object_path(menuPath.c_str());
  if (name == "XAyatanaLabel") return g_variant_new_string(label.c_str());
  if (name == "XAyatanaLabelGuide") return g_variant_new_string(label.empty() ? "" : labelGuide);
  if (name == "XAyatanaOrderingIndex") return g_variant_new_uint32(0);
  if (name.ends_with("Pixmap")) return emptyPixmaps();
  // The overlay and attention names: none.
  return g_variant_new_string("");
}

void StatusNotifierItem::handleMethod(GDBusConnection* /*bus*/, const char* /*sender*/,
                                      const char* /*path*/, const char* /*interface*/,
                                      const char* method, GVariant* parameters,
                                      GDBusMethodInvocation* invocation, gpointer self) {
  const auto* item = static_cast<StatusNotifierItem*>(self);
  const std::string_view name(method);
  // Left click (Activate, as lxqt-panel sends it) and right click both open the menu; a middle
  // click or a scroll does nothing.
  if ((name == "Activate" || name == "ContextMenu") && item->callbacks.menuRequested) {
    gint32 x = 0;
    gint32 y = 0;
    g_variant_get(parameters, "(ii)", &x, &y);
    g_dbus_method_invocation_return_value(invocation, nullptr);
    item->callbacks.menuRequested(x, y);
    return;
  }
  g_dbus_method_invocation_return_value(invocation, nullptr);
}

GVariant* StatusNotifierItem::readProperty(GDBusConnection* /*bus*/, const char* /*sender*/,
                                           const char* /*path*/, const char* /*interface*/,
                                           const char* property, GError** /*error*/,
                                           gpointer self) {
  return static_cast<StatusNotifierItem*>(self)->property(property);
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
