// The floor of bench/memory.sh: the least a GIO program does to show the CPU temperature in the
// panel. It owns a name, exports a StatusNotifierItem and a seven-entry dbusmenu menu, registers
// with the watcher, and every 5 s reads three hwmon files, sets the label and sends one
// XAyatanaNewLabel. A measuring stick, not a program to use.
//
// Usage: floor-item [TEMP-INPUT FAN1-INPUT FAN2-INPUT]   (default: hwmon0 temp1, hwmon1 fans)

#include <gio/gio.h>
#include <libdbusmenu-glib/menuitem.h>
#include <libdbusmenu-glib/server.h>
#include <stdio.h>
#include <unistd.h>

#define ITEM "org.kde.StatusNotifierItem"
#define ITEM_PATH "/StatusNotifierItem"
#define MENU_PATH "/MenuBar"
#define GUIDE "100 °C"

static const char introspection[] =
    "<node><interface name='org.kde.StatusNotifierItem'>"
    "<property name='Category' type='s' access='read'/>"
    "<property name='Id' type='s' access='read'/>"
    "<property name='Title' type='s' access='read'/>"
    "<property name='Status' type='s' access='read'/>"
    "<property name='IconName' type='s' access='read'/>"
    "<property name='Menu' type='o' access='read'/>"
    "<property name='ItemIsMenu' type='b' access='read'/>"
    "<property name='XAyatanaLabel' type='s' access='read'/>"
    "<property name='XAyatanaLabelGuide' type='s' access='read'/>"
    "<signal name='XAyatanaNewLabel'><arg type='s'/><arg type='s'/></signal>"
    "</interface></node>";

typedef struct {
  GDBusConnection* bus;
  char name[64];
  char label[32];
  const char* inputs[3];
  DbusmenuMenuitem* fans[2];
} Floor;

static long readInput(const char* path) {
  char* text = NULL;
  if (!g_file_get_contents(path, &text, NULL, NULL)) return -1;
  long value = (long)g_ascii_strtoll(text, NULL, 10);
  g_free(text);
  return value;
}

static GVariant* getProperty(GDBusConnection* bus, const char* sender, const char* path,
                             const char* interface, const char* property, GError** error,
                             gpointer data) {
  (void)bus, (void)sender, (void)path, (void)interface, (void)error;
  const Floor* floor = data;
  if (g_str_equal(property, "Category")) return g_variant_new_string("Hardware");
  if (g_str_equal(property, "Id")) return g_variant_new_string("floor-item");
  if (g_str_equal(property, "Title")) return g_variant_new_string("Floor");
  if (g_str_equal(property, "Status")) return g_variant_new_string("Active");
  if (g_str_equal(property, "IconName")) return g_variant_new_string("temperature-symbolic");
  if (g_str_equal(property, "Menu")) return g_variant_new_object_path(MENU_PATH);
  if (g_str_equal(property, "ItemIsMenu")) return g_variant_new_boolean(TRUE);
  if (g_str_equal(property, "XAyatanaLabel")) return g_variant_new_string(floor->label);
  return g_variant_new_string(GUIDE);  // XAyatanaLabelGuide, the only one left
}

// One pass: three reads, the fans' menu entries (the menu says nothing when they are unchanged),
// the label and its one signal.
static gboolean pass(gpointer data) {
  Floor* floor = data;
  long millidegrees = readInput(floor->inputs[0]);
  snprintf(floor->label, sizeof floor->label, "%ld °C", (millidegrees + 500) / 1000);
  for (int fan = 0; fan < 2; ++fan) {
    char title[32];
    snprintf(title, sizeof title, "Fan %d: %ld RPM", fan + 1, readInput(floor->inputs[fan + 1]));
    dbusmenu_menuitem_property_set(floor->fans[fan], DBUSMENU_MENUITEM_PROP_LABEL, title);
  }
  g_dbus_connection_emit_signal(floor->bus, NULL, ITEM_PATH, ITEM, "XAyatanaNewLabel",
                                g_variant_new("(ss)", floor->label, GUIDE), NULL);
  return G_SOURCE_CONTINUE;
}

// Registers whenever a watcher appears, as a panel restarting would need.
static void watcherAppeared(GDBusConnection* bus, const char* name, const char* owner,
                            gpointer data) {
  (void)name, (void)owner;
  const Floor* floor = data;
  g_dbus_connection_call(bus, "org.kde.StatusNotifierWatcher", "/StatusNotifierWatcher",
                         "org.kde.StatusNotifierWatcher", "RegisterStatusNotifierItem",
                         g_variant_new("(s)", floor->name), NULL, G_DBUS_CALL_FLAGS_NONE, -1, NULL,
                         NULL, NULL);
}

static DbusmenuMenuitem* addEntry(DbusmenuMenuitem* root, const char* label, const char* type) {
  DbusmenuMenuitem* entry = dbusmenu_menuitem_new();
  if (label != NULL) dbusmenu_menuitem_property_set(entry, DBUSMENU_MENUITEM_PROP_LABEL, label);
  if (type != NULL) dbusmenu_menuitem_property_set(entry, DBUSMENU_MENUITEM_PROP_TYPE, type);
  dbusmenu_menuitem_child_append(root, entry);
  g_object_unref(entry);  // the root holds it
  return entry;
}

static void quit(DbusmenuMenuitem* entry, guint timestamp, gpointer loop) {
  (void)entry, (void)timestamp;
  g_main_loop_quit(loop);
}

int main(int argc, char** argv) {
  Floor floor = {.inputs = {"/sys/class/hwmon/hwmon0/temp1_input",
                            "/sys/class/hwmon/hwmon1/fan1_input",
                            "/sys/class/hwmon/hwmon1/fan2_input"}};
  if (argc == 4) floor.inputs[0] = argv[1], floor.inputs[1] = argv[2], floor.inputs[2] = argv[3];
  GError* error = NULL;
  floor.bus = g_bus_get_sync(G_BUS_TYPE_SESSION, NULL, &error);
  if (floor.bus == NULL) {
    fprintf(stderr, "floor-item: no session bus: %s\n", error->message);
    return 1;
  }
  GMainLoop* loop = g_main_loop_new(NULL, FALSE);

  DbusmenuMenuitem* root = dbusmenu_menuitem_new();
  floor.fans[0] = addEntry(root, "Fan 1", NULL);
  floor.fans[1] = addEntry(root, "Fan 2", NULL);
  addEntry(root, NULL, "separator");
  addEntry(root, "Info...", NULL);
  addEntry(root, "Preferences...", NULL);
  addEntry(root, NULL, "separator");
  g_signal_connect(addEntry(root, "Quit", NULL), DBUSMENU_MENUITEM_SIGNAL_ITEM_ACTIVATED,
                   G_CALLBACK(quit), loop);
  DbusmenuServer* menu = dbusmenu_server_new(MENU_PATH);
  dbusmenu_server_set_root(menu, root);

  pass(&floor);
  GDBusNodeInfo* node = g_dbus_node_info_new_for_xml(introspection, NULL);
  static const GDBusInterfaceVTable vtable = {.get_property = getProperty};
  g_dbus_connection_register_object(floor.bus, ITEM_PATH, node->interfaces[0], &vtable, &floor,
                                    NULL, NULL);
  snprintf(floor.name, sizeof floor.name, ITEM "-%ld-1", (long)getpid());
  g_bus_own_name_on_connection(floor.bus, floor.name, G_BUS_NAME_OWNER_FLAGS_NONE, NULL, NULL, NULL,
                               NULL);
  g_bus_watch_name_on_connection(floor.bus, "org.kde.StatusNotifierWatcher",
                                 G_BUS_NAME_WATCHER_FLAGS_NONE, watcherAppeared, NULL, &floor,
                                 NULL);
  g_timeout_add_seconds(5, pass, &floor);
  g_main_loop_run(loop);
  g_object_unref(menu), g_object_unref(root), g_object_unref(floor.bus);
  g_dbus_node_info_unref(node), g_main_loop_unref(loop);
  return 0;
}
