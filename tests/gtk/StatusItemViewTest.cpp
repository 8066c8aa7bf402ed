// The status item's view, with a StatusNotifierWatcher standing in for the panel on the private
// session bus where a test needs one.

#include <gtest/gtest.h>
#include <gtk/gtk.h>
#include <libdbusmenu-glib/server.h>

#include <chrono>
#include <filesystem>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "platform/appkit/AppKit.h"
#include "platform/foundation/GLibPtr.h"
#include "platform/foundation/NSRunLoop.h"
#include "platform/gtk/GtkApplicationBackend.h"
#include "platform/gtk/PyrelleIndicator.h"
#include "platform/gtk/StatusBarView.h"

namespace {

using Lines = std::vector<std::string>;
using GVariantPtr = std::unique_ptr<GVariant, GLibRelease<g_variant_unref>>;

// Runs the default main context until `done()` holds; false when `timeout` passed first.
bool spinUntil(const std::function<bool()>& done,
               std::chrono::milliseconds timeout = std::chrono::seconds(5)) {
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

// What libayatana-appindicator asks of the panel's StatusNotifierWatcher.
constexpr const char* watcherXml =
    "<node><interface name='org.kde.StatusNotifierWatcher'>"
    "<method name='RegisterStatusNotifierItem'><arg type='s' direction='in'/></method>"
    "<property name='IsStatusNotifierHostRegistered' type='b' access='read'/>"
    "</interface></node>";

// The share of the pixels of the 64-pixel PNG at `path` that are opaque and light, as the drawn
// text is; -1 when the file is no such image.
double textShare(const std::string& path) {
  const GObjectPtr<GdkPixbuf> image(gdk_pixbuf_new_from_file(path.c_str(), nullptr));
  if (!path.ends_with(".png") || !image || gdk_pixbuf_get_width(image.get()) != 64 ||
      gdk_pixbuf_get_height(image.get()) != 64 || gdk_pixbuf_get_rowstride(image.get()) != 64 * 4)
    return -1;
  // 64 RGBA pixels fill a row exactly.
  const guchar* pixels = gdk_pixbuf_read_pixels(image.get());
  int light = 0;
  for (const guchar* pixel = pixels; pixel < pixels + 64 * 64 * 4; pixel += 4) {
    light += pixel[0] > 200 && pixel[1] > 200 && pixel[2] > 200 && pixel[3] > 200;
  }
  return light / (64.0 * 64.0);
}

// Receives the action of the menu's "Info..." entry.
class InfoTarget : public NSObject {
 public:
  void about() { ++abouts; }
  int abouts = 0;
};

// A status item as the application makes it (variable length, with a menu) on a started
// backend.
class StatusItemViewTest : public ::testing::Test {
 protected:
  StatusItemViewTest() {
    int argc = 0;
    char** argv = nullptr;
    EXPECT_EQ(backend->start(argc, argv), 0);
    backend->interfaceLoaded(objects);
  }
  ~StatusItemViewTest() override {
    if (watcherName != 0) {
      g_bus_unown_name(watcherName);
      g_dbus_connection_unregister_object(bus.get(), watcherObject);
    }
    item.reset();
    backend.reset();
    NSRunLoop::mainRunLoop().resetForTesting();
    g_unsetenv("XDG_CURRENT_DESKTOP");
  }

  void makeItem() {
    item = NSStatusBar::systemStatusBar().statusItemWithLength(NSVariableStatusItemLength);
    auto menu = std::make_shared<NSMenu>("Pyrelle");
    menu->addItem(std::make_shared<NSMenuItem>("Fan 1: 1200 RPM", NSSelector{}, ""));
    menu->addItem(NSMenuItem::separatorItem());
    auto info = std::make_shared<NSMenuItem>("Info...", &InfoTarget::about, "");
    info->setTarget(&target);
    menu->addItem(info);
    item->setMenu(menu);
    view = backend->statusBarViewForTesting()->viewOf(*item);
    ASSERT_NE(view, nullptr);
  }
  AppIndicator* indicator() const { return view->indicatorForTesting(); }

  // Puts a panel on the bus: a StatusNotifierWatcher that notes where the item that registers
  // lives.
  void startPanel() {
    static const GDBusInterfaceVTable vtable = {
        // An item registers with its object path, on its own connection.
        [](GDBusConnection*, const char* sender, const char*, const char*, const char*,
           GVariant* parameters, GDBusMethodInvocation* invocation, gpointer self) {
          auto* test = static_cast<StatusItemViewTest*>(self);
          const char* path = nullptr;
          g_variant_get(parameters, "(&s)", &path);
          test->itemBusName = sender;
          test->itemPath = path;
          g_dbus_method_invocation_return_value(invocation, nullptr);
        },
        [](GDBusConnection*, const char*, const char*, const char*, const char*, GError**,
           gpointer) { return g_variant_new_boolean(TRUE); },
        nullptr,
        {}};
    GDBusNodeInfo* node = g_dbus_node_info_new_for_xml(watcherXml, nullptr);
    watcherObject = g_dbus_connection_register_object(
        bus.get(), "/StatusNotifierWatcher", node->interfaces[0], &vtable, this, nullptr, nullptr);
    g_dbus_node_info_unref(node);
    watcherName = g_bus_own_name_on_connection(bus.get(), "org.kde.StatusNotifierWatcher",
                                               G_BUS_NAME_OWNER_FLAGS_NONE, nullptr, nullptr,
                                               nullptr, nullptr);
  }
  // Waits until the item registered with the panel; false after a test failure.
  bool registered() {
    const bool done = spinUntil([&] { return view->isRegistered() && !itemPath.empty(); });
    EXPECT_TRUE(done) << "the indicator never registered with the watcher";
    return done;
  }

  // A string property of the exported StatusNotifierItem, read over the bus as a panel reads
  // it; "<none>" after a test failure.
  std::string exported(const char* property) {
    GAsyncResult* result = nullptr;
    g_dbus_connection_call(
        bus.get(), itemBusName.c_str(), itemPath.c_str(), "org.freedesktop.DBus.Properties", "Get",
        g_variant_new("(ss)", "org.kde.StatusNotifierItem", property), G_VARIANT_TYPE("(v)"),
        G_DBUS_CALL_FLAGS_NONE, 2000, nullptr,
        [](GObject*, GAsyncResult* done, gpointer out) {
          *static_cast<GAsyncResult**>(out) = G_ASYNC_RESULT(g_object_ref(done));
        },
        &result);
    // This process answers, so the loop runs while it waits; the call's timeout ends the wait.
    EXPECT_TRUE(spinUntil([&result] { return result != nullptr; }, std::chrono::seconds(10)));
    const GObjectPtr<GAsyncResult> finished(result);
    const GVariantPtr reply(result ? g_dbus_connection_call_finish(bus.get(), result, nullptr)
                                   : nullptr);
    if (!reply) return "<none>";
    GVariant* value = nullptr;
    g_variant_get(reply.get(), "(v)", &value);
    const GVariantPtr ownedValue(value);
    return g_variant_get_string(value, nullptr);
  }

  // The menu's root as the indicator exports it on the bus.
  DbusmenuMenuitem* exportedRoot() const {
    DbusmenuServer* server = nullptr;
    g_object_get(indicator(), "dbus-menu-server", &server, nullptr);
    const GObjectPtr<DbusmenuServer> ownedServer(server);
    DbusmenuMenuitem* root = nullptr;
    g_object_get(server, "root-node", &root, nullptr);
    const GObjectPtr<DbusmenuMenuitem> ownedRoot(root);
    return root;  // the server holds it too
  }
  DbusmenuMenuitem* exportedEntry(int index) const {
    return DBUSMENU_MENUITEM(
        g_list_nth_data(dbusmenu_menuitem_get_children(exportedRoot()), index));
  }
  // The exported entries top to bottom, as a panel shows them: "---" for a separator,
  // " (disabled)" after an entry that is.
  Lines exportedMenu() const {
    Lines entries;
    for (GList* child = dbusmenu_menuitem_get_children(exportedRoot()); child;
         child = child->next) {
      auto* entry = DBUSMENU_MENUITEM(child->data);
      const char* label = dbusmenu_menuitem_property_get(entry, "label");
      const bool enabled = dbusmenu_menuitem_property_get_bool(entry, "enabled");
      entries.push_back(g_strcmp0(dbusmenu_menuitem_property_get(entry, "type"), "separator") == 0
                            ? "---"
                            : std::string(label) + (enabled ? "" : " (disabled)"));
    }
    return entries;
  }

  NSMainInterface objects;
  std::unique_ptr<GtkApplicationBackend> backend = std::make_unique<GtkApplicationBackend>();
  const GObjectPtr<GDBusConnection> bus{g_bus_get_sync(G_BUS_TYPE_SESSION, nullptr, nullptr)};
  InfoTarget target;
  std::shared_ptr<NSStatusItem> item;
  StatusItemView* view = nullptr;
  guint watcherObject = 0;
  guint watcherName = 0;
  // Where the item that registered with the panel lives; empty until one did.
  std::string itemBusName;
  std::string itemPath;
};

TEST_F(StatusItemViewTest, FallbackTrayIconShowsTheTitleUntilAPanelShowsTheLabel) {
  g_setenv("XDG_CURRENT_DESKTOP", "ubuntu:GNOME", TRUE);
  makeItem();
  item->setTitle("45 °C");
  // No watcher on the bus: the library falls back to a plain tray icon, which has no label.
  ASSERT_TRUE(spinUntil([&] { return pyrelleIndicatorFallbackIcon(indicator()) != nullptr; }));
  EXPECT_EQ(view->presentation(), TitlePresentation::Icon);
  EXPECT_GT(textShare(app_indicator_get_icon(indicator())), 0.08);
  G_GNUC_BEGIN_IGNORE_DEPRECATIONS
  const GCharPtr tooltip(
      gtk_status_icon_get_tooltip_text(pyrelleIndicatorFallbackIcon(indicator())));
  G_GNUC_END_IGNORE_DEPRECATIONS
  EXPECT_STREQ(tooltip.get(), "Pyrelle: 45 °C");

  // A panel that shows labels: the label follows the title, in the library and on the bus.
  startPanel();
  ASSERT_TRUE(registered());
  EXPECT_EQ(view->presentation(), TitlePresentation::Label);
  EXPECT_STREQ(app_indicator_get_label(indicator()), "45 °C");
  EXPECT_STREQ(app_indicator_get_label_guide(indicator()), "-00 °F");
  EXPECT_EQ(exported("XAyatanaLabel"), "45 °C");
  item->setTitle("104 °F");
  EXPECT_STREQ(app_indicator_get_label(indicator()), "104 °F");
  EXPECT_EQ(exported("XAyatanaLabel"), "104 °F");
}

TEST_F(StatusItemViewTest, TitleIsDrawnIntoTheIconWhereThePanelIgnoresLabels) {
  g_setenv("XDG_CURRENT_DESKTOP", "KDE", TRUE);
  startPanel();
  makeItem();
  item->setTitle("45 °C");
  ASSERT_TRUE(registered());

  EXPECT_EQ(view->presentation(), TitlePresentation::Icon);
  EXPECT_EQ(exported("XAyatanaLabel"), "");
  EXPECT_EQ(exported("Title"), "Pyrelle: 45 °C");
  const std::string first = exported("IconName");
  // Enough of it is text to be read, and not so much that it is a blot.
  EXPECT_GT(textShare(first), 0.08) << first;
  EXPECT_LT(textShare(first), 0.6);

  // Each title gets a file of its own name, as panels cache icons by name; old ones go, and
  // the rest with the view.
  item->setTitle("46 °C");
  item->setTitle("104 °F");
  const std::string last = exported("IconName");
  EXPECT_NE(last, first);
  EXPECT_GT(textShare(last), 0.08);
  EXPECT_FALSE(std::filesystem::exists(first));
  backend.reset();
  EXPECT_FALSE(std::filesystem::exists(std::filesystem::path(last).parent_path()));
}

TEST_F(StatusItemViewTest, ExportedMenuMirrorsTheEntriesAndChangesInPlace) {
  makeItem();
  EXPECT_EQ(exportedMenu(), (Lines{"Fan 1: 1200 RPM (disabled)", "---", "Info..."}));
  const gint fan = dbusmenu_menuitem_get_id(exportedEntry(0));

  item->menu()->items()[0]->setTitle("Fan 1: 1350 RPM");
  EXPECT_TRUE(spinUntil([&] {
    return exportedMenu() == Lines{"Fan 1: 1350 RPM (disabled)", "---", "Info..."};
  }));
  EXPECT_EQ(dbusmenu_menuitem_get_id(exportedEntry(0)), fan)
      << "the entry was rebuilt, not changed";

  // A panel's click on "Info..." sends the entry's action.
  dbusmenu_menuitem_handle_event(exportedEntry(2), "clicked", g_variant_new_int32(0), 0);
  EXPECT_TRUE(spinUntil([&] { return target.abouts == 1; }));
}

TEST_F(StatusItemViewTest, RunLoopTracksWhileTheMenuIsOpen) {
  makeItem();
  auto tracking = [] {
    return NSRunLoop::mainRunLoop().currentMode() == NSRunLoopMode::EventTracking;
  };

  // A panel shows the menu through the exported root.
  dbusmenu_menuitem_send_about_to_show(exportedRoot(), nullptr, nullptr);
  dbusmenu_menuitem_handle_event(exportedRoot(), "opened", g_variant_new_int32(0), 0);
  EXPECT_TRUE(spinUntil(tracking));
  dbusmenu_menuitem_handle_event(exportedRoot(), "closed", g_variant_new_int32(0), 0);
  EXPECT_TRUE(spinUntil([&] { return !tracking(); }));

  // The fallback tray icon pops the GtkMenu up itself.
  GtkWidget* menu = GTK_WIDGET(view->menuViewForTesting()->gtkMenu());
  gtk_widget_show(menu);
  EXPECT_TRUE(tracking());
  gtk_widget_hide(menu);
  EXPECT_FALSE(tracking());
}

}  // namespace
