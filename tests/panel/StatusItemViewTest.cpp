// The status item on the session bus, seen from a stand-in panel: a StatusNotifierWatcher on a
// connection of its own, in the same process, under Xvfb and a private session bus.

#include <gtest/gtest.h>
#include <gtk/gtk.h>
#include <sys/prctl.h>
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <cstring>
#include <memory>
#include <optional>
#include <string>
#include <tuple>
#include <vector>

#include "platform/appkit/AppKit.h"
#include "platform/foundation/GLibPtr.h"
#include "platform/foundation/NSLog.h"
#include "platform/foundation/NSRunLoop.h"
#include "platform/foundation/NSUserDefaults.h"
#include "platform/gtk/GtkToolkit.h"
#include "platform/panel/StatusBarView.h"
#include "tests/gtk/GtkTestSupport.h"

namespace {

using namespace std::chrono_literals;
using Lines = std::vector<std::string>;

void pause(std::chrono::milliseconds duration) {
  spinUntil([] { return false; }, duration);
}

bool tracking() { return NSRunLoop::mainRunLoop().currentMode() == NSRunLoopMode::EventTracking; }

std::ptrdiff_t linesWith(const Lines& lines, const char* text) {
  return std::ranges::count_if(lines, [text](const auto& l) { return l.find(text) != l.npos; });
}

const std::string itemService = "org.kde.StatusNotifierItem-" + std::to_string(getpid()) + "-1";

// A panel: its own bus connection, a StatusNotifierWatcher from construction until stop() and
// again after start(), the items that registered with it and the item's signals it saw.
struct StandInPanel {
  explicit StandInPanel(int refuse = 0) : refusals(refuse) {
    bus.reset(g_dbus_connection_new_for_address_sync(
        GCharPtr(g_dbus_address_get_for_bus_sync(G_BUS_TYPE_SESSION, nullptr, nullptr)).get(),
        static_cast<GDBusConnectionFlags>(G_DBUS_CONNECTION_FLAGS_AUTHENTICATION_CLIENT |
                                          G_DBUS_CONNECTION_FLAGS_MESSAGE_BUS_CONNECTION),
        nullptr, nullptr, nullptr));
    subscription = g_dbus_connection_signal_subscribe(
        bus.get(), nullptr, "org.kde.StatusNotifierItem", nullptr, nullptr, nullptr,
        G_DBUS_SIGNAL_FLAGS_NONE,
        [](GDBusConnection*, const char*, const char*, const char*, const char* member, GVariant*,
           gpointer self) { static_cast<StandInPanel*>(self)->signals.emplace_back(member); },
        this, nullptr);
    start();
  }
  ~StandInPanel() {
    stop();
    g_dbus_connection_signal_unsubscribe(bus.get(), subscription);
    g_dbus_connection_close_sync(bus.get(), nullptr, nullptr);
  }

  // The watcher's one method: refuses the first `refusals` calls, then records the item.
  static void registerItem(GDBusConnection*, const char*, const char*, const char*, const char*,
                           GVariant* parameters, GDBusMethodInvocation* invocation, gpointer self) {
    auto* panel = static_cast<StandInPanel*>(self);
    if (panel->refusals-- > 0)
      return g_dbus_method_invocation_return_dbus_error(invocation, "org.example.No", "");
    const char* service = nullptr;
    g_variant_get(parameters, "(&s)", &service);
    panel->registrations.emplace_back(service);
    g_dbus_method_invocation_return_value(invocation, nullptr);
  }
  // Takes the watcher's name, from another panel too.
  void start() {
    static const GDBusInterfaceVTable vtable = {registerItem, nullptr, nullptr, {}};
    GDBusNodeInfo* node = g_dbus_node_info_new_for_xml(
        "<node><interface name='org.kde.StatusNotifierWatcher'><method "
        "name='RegisterStatusNotifierItem'><arg type='s'/></method></interface></node>",
        nullptr);
    object = g_dbus_connection_register_object(
        bus.get(), "/StatusNotifierWatcher", node->interfaces[0], &vtable, this, nullptr, nullptr);
    g_dbus_node_info_unref(node);
    name = g_bus_own_name_on_connection(
        bus.get(), "org.kde.StatusNotifierWatcher",
        static_cast<GBusNameOwnerFlags>(G_BUS_NAME_OWNER_FLAGS_ALLOW_REPLACEMENT |
                                        G_BUS_NAME_OWNER_FLAGS_REPLACE),
        nullptr, nullptr, nullptr, nullptr);
  }
  void stop() {
    if (name != 0) g_bus_unown_name(name);
    if (object != 0) g_dbus_connection_unregister_object(bus.get(), object);
    name = object = 0;
  }

  // Calls the item as a host does, while this process's loop runs to answer. (Requests past
  // their bounds are start_and_end.sh's, on the program.)
  GVariantPtr call(const char* path, const char* interface, const char* method,
                   GVariant* parameters) {
    // The reply comes within the call's 9 s timeout, before the wait gives up on a loaded machine.
    GObjectPtr<GAsyncResult> result;
    g_dbus_connection_call(
        bus.get(), itemService.c_str(), path, interface, method, parameters, nullptr,
        G_DBUS_CALL_FLAGS_NONE, 9000, nullptr,
        [](GObject*, GAsyncResult* done, gpointer out) {
          static_cast<GObjectPtr<GAsyncResult>*>(out)->reset(G_ASYNC_RESULT(g_object_ref(done)));
        },
        &result);
    spinUntil([&result] { return result != nullptr; });
    GErrorOut error;
    GVariantPtr reply(g_dbus_connection_call_finish(bus.get(), result.get(), error.out()));
    EXPECT_TRUE(reply) << method << ": " << error.message();
    return reply;
  }
  GVariantPtr menu(const char* method, const char* parameters) {
    return call("/MenuBar", "com.canonical.dbusmenu", method, g_variant_new_parsed(parameters));
  }
  // A left click on the item, as lxqt-panel sends it.
  void activate() {
    call("/StatusNotifierItem", "org.kde.StatusNotifierItem", "Activate",
         g_variant_new("(ii)", 10, 10));
  }
  // Says the watcher no longer holds `item`, as one does that lost track of it.
  void drop(const std::string& item) {
    g_dbus_connection_emit_signal(bus.get(), nullptr, "/StatusNotifierWatcher",
                                  "org.kde.StatusNotifierWatcher", "StatusNotifierItemUnregistered",
                                  g_variant_new("(s)", item.c_str()), nullptr);
  }
  GVariantPtr property(const char* property) {
    const GVariantPtr reply = call("/StatusNotifierItem", "org.freedesktop.DBus.Properties", "Get",
                                   g_variant_new("(ss)", "org.kde.StatusNotifierItem", property));
    GVariant* value = nullptr;
    if (reply) g_variant_get(reply.get(), "(v)", &value);
    return GVariantPtr(value != nullptr ? value : g_variant_ref_sink(g_variant_new_string("")));
  }

  Lines registrations, signals;
  int refusals = 0;  // registrations to refuse before taking one
  GObjectPtr<GDBusConnection> bus;
  guint subscription = 0, object = 0, name = 0;
};

// The item tells hosts apart by the name of the watcher's owner: here this process, renamed
// for the length of a test.
struct ProcessNamed {
  explicit ProcessNamed(const char* name) {
    prctl(PR_GET_NAME, original), prctl(PR_SET_NAME, name);
  }
  ~ProcessNamed() { prctl(PR_SET_NAME, original); }
  char original[17] = {};
};

// Receives the action of the menu's "Info..." entry.
struct InfoTarget : NSObject {
  void about() { ++abouts; }
  int abouts = 0;
};

class StatusItemViewTest : public ::testing::Test {
 protected:
  ~StatusItemViewTest() override {
    item.reset();
    bar.reset();
    NSRunLoop::mainRunLoop().resetForTesting();
  }

  // A status item as the application makes it, with a menu, titled "45 °C".
  void makeItem(StatusItemView::Timing timing = {}) {
    StatusItemView::Context context{timing, [this]() -> PanelToolkit* { return toolkit.get(); },
                                    [](const std::string& /*token*/) {}, sessionBus.get()};
    bar = std::make_unique<StatusBarView>(std::move(context));
    item = NSStatusBar::systemStatusBar().statusItemWithLength(NSVariableStatusItemLength);
    item->setMenu(std::make_shared<NSMenu>("Pyrelle"));
    item->menu()->addItem(std::make_shared<NSMenuItem>("Fan 1: 1200 RPM", NSSelector{}, ""));
    item->menu()->addItem(std::make_shared<NSMenuItem>("Info...", &InfoTarget::about, ""));
    item->menu()->items()[1]->setTarget(&target);
    item->setTitle("45 °C");
    view = bar->viewOf(*item);
    ASSERT_NE(view, nullptr);
  }
  // Waits until `panel` holds the item `times` over.
  bool registeredWith(const StandInPanel& panel, std::size_t times = 1) {
    return spinUntil([&] { return view->isRegistered() && panel.registrations.size() == times; }) &&
           panel.registrations == Lines(times, "/StatusNotifierItem");
  }

  InfoTarget target;
  GObjectPtr<GDBusConnection> sessionBus{g_bus_get_sync(G_BUS_TYPE_SESSION, nullptr, nullptr)};
  std::unique_ptr<GtkToolkit> toolkit = GtkToolkit::create({"gtk_tests"});
  std::unique_ptr<StatusBarView> bar;
  std::shared_ptr<NSStatusItem> item;
  StatusItemView* view = nullptr;
};

TEST_F(StatusItemViewTest, RegistersWithEveryWatcherAndUsesTheTrayIconBetweenOrAfterDrops) {
  LogCaptureForTesting log;
  makeItem({.trayDelay = 100ms, .unseenDelay = 400ms, .dropsForgiven = 3s});
  // No watcher, and no tray on this X server: the tray icon waits, and the log says once why
  // nothing shows the item.
  ASSERT_TRUE(spinUntil([&] { return view->trayIconForTesting() != nullptr; }));
  EXPECT_TRUE(spinUntil([&] { return linesWith(log.lines(), "nothing shows Pyrelle") == 1; }));

  // A watcher that refuses at first (still starting) is asked again.
  StandInPanel first(1);
  ASSERT_TRUE(registeredWith(first));

  // Another panel takes the watcher's name over: the item registers with it too, and shows its
  // title as that host needs; when it goes, the name falls back to the first, queued.
  EXPECT_EQ(view->presentation(), TitlePresentation::Icon);
  std::optional<ProcessNamed> renamed(std::in_place, "gnome-shell");
  StandInPanel second;
  ASSERT_TRUE(registeredWith(second));
  EXPECT_EQ(view->presentation(), TitlePresentation::Label);
  renamed.reset();
  second.stop();
  ASSERT_TRUE(registeredWith(first, 2));
  EXPECT_EQ(view->presentation(), TitlePresentation::Icon);

  // No watcher at all: the tray icon, until a watcher comes back. A panel that restarts is not
  // said to show nothing, though it takes longer than the item may go unseen at start.
  first.stop();
  EXPECT_TRUE(spinUntil([&] { return !view->isRegistered() && view->trayIconForTesting(); }));
  pause(800ms);
  first.start();
  ASSERT_TRUE(registeredWith(first, 3));
  EXPECT_EQ(view->trayIconForTesting(), nullptr);
  EXPECT_EQ(linesWith(log.lines(), "nothing shows Pyrelle"), 1);

  // A watcher that drops the item gets it again, three times in a row at most: the fourth drop is
  // logged and leaves the item in the tray. A registration that holds clears the count.
  const std::string exported =
      g_dbus_connection_get_unique_name(sessionBus.get()) + std::string("/StatusNotifierItem");
  std::size_t registrations = 3;
  const auto dropped = [&] {
    first.drop(exported);
    return registeredWith(first, ++registrations);
  };
  ASSERT_TRUE(dropped() && dropped());
  pause(3500ms);
  ASSERT_TRUE(dropped() && dropped() && dropped());
  EXPECT_EQ(view->trayIconForTesting(), nullptr);
  first.drop(exported);
  EXPECT_TRUE(spinUntil([&] { return view->trayIconForTesting() != nullptr; }));
  EXPECT_EQ(linesWith(log.lines(), "dropped the item 4 times in a row"), 1);
  EXPECT_EQ(first.registrations.size(), registrations);
}

// The label carries the title byte for byte, padding included; the drawn title goes out as
// pixmaps.
TEST_F(StatusItemViewTest, TitleGoesToTheLabelOrTheIconByHostAndSettingWithFewSignals) {
  // (What each host gets without a setting: TitleLookTest and the host tests.)
  // Where the label does not show, the tooltip carries the title too.
  const Lines labelOnly{"XAyatanaNewLabel"}, labelAndTip{"NewToolTip", "XAyatanaNewLabel"},
      icon{"NewIcon", "NewToolTip"};
  const std::tuple<const char*, const char*, TitlePresentation, std::ptrdiff_t, Lines> cases[] = {
      {"xfce4-panel", "[Panel]\ntitle=label\n", TitlePresentation::Label, 0, labelAndTip},
      {"gnome-shell", "[Panel]\ntitle= Icon \n", TitlePresentation::Icon, 0, icon},
      {"gnome-shell", "[Panel]\ntitle=sideways\n", TitlePresentation::Label, 1, labelOnly},
  };
  const std::string folder = std::string(g_get_user_config_dir()) + "/pyrelle";
  g_mkdir_with_parents(folder.c_str(), 0700);
  for (const auto& [host, setting, shown, settingLogged, signalled] : cases) {
    SCOPED_TRACE(std::string(host) + " with \"" + setting + "\"");
    g_file_set_contents((folder + "/settings.ini").c_str(), setting, -1, nullptr);
    NSUserDefaults::resetStandardUserDefaultsForTesting(g_get_user_config_dir());
    LogCaptureForTesting log;
    const ProcessNamed renamed(host);
    makeItem();
    StandInPanel panel;
    ASSERT_TRUE(registeredWith(panel));
    EXPECT_EQ(view->presentation(), shown);
    EXPECT_EQ(linesWith(log.lines(), "[Panel]"), settingLogged);

    // A reply comes after every signal the item sent before it.
    panel.property("Id");
    panel.signals.clear();
    item->setTitle(" 5 °C");
    panel.property("Id");
    EXPECT_EQ(panel.signals, signalled);
    const auto text = [&panel](const char* property) {
      return std::string(g_variant_get_string(panel.property(property).get(), nullptr));
    };
    const GVariantPtr pixmaps = panel.property("IconPixmap");
    EXPECT_EQ(text("XAyatanaLabel"), shown == TitlePresentation::Label ? " 5 °C" : "");
    if (shown == TitlePresentation::Label) {
      EXPECT_EQ(text("XAyatanaLabelGuide"), "-00 °F");
      EXPECT_EQ(g_variant_n_children(pixmaps.get()), 0u) << "an icon drawn beside the label";
    } else {
      // The first pixmap, ARGB32 in network byte order, is the title drawn at its size.
      ASSERT_GT(g_variant_n_children(pixmaps.get()), 0u);
      const GVariantPtr first(g_variant_get_child_value(pixmaps.get(), 0));
      gint32 size = 0;
      g_variant_get_child(first.get(), 1, "i", &size);
      const GVariantPtr bytes(g_variant_get_child_value(first.get(), 2));
      std::vector<std::uint32_t> expected = drawTitleIcon("5 °C", size).argb;
      for (std::uint32_t& pixel : expected) pixel = GUINT32_TO_BE(pixel);
      EXPECT_TRUE(
          g_variant_get_size(bytes.get()) == 4 * expected.size() &&
          std::memcmp(g_variant_get_data(bytes.get()), expected.data(), 4 * expected.size()) == 0);
    }
    item.reset();
    bar.reset();
  }
}

// A host that never says "closed": the guard counts from the first "opened" without one; a host's
// "opened" sent again, or our own menu popped up meanwhile, does not extend it; when due it takes
// our menu down too. Then the menu holds the refresh as the host says.
TEST_F(StatusItemViewTest, MenuHoldsTheRefreshWhileShownOrUntilTheGuardAndMirrorsTheEntries) {
  LogCaptureForTesting log;
  makeItem({.menuClosingGuard = 3s});
  StandInPanel panel;
  ASSERT_TRUE(registeredWith(panel));
  const char* opened = "(0, 'opened', <0>, uint32 0)";
  panel.menu("Event", opened);
  ASSERT_TRUE(spinUntil([] { return tracking(); }));
  pause(1500ms);
  panel.menu("Event", opened);
  panel.activate();
  ASSERT_TRUE(spinUntil([&] { return view->popUpMenuForTesting() != nullptr; }));
  // Due 3 s after the first opening, not 3 s after the last.
  EXPECT_TRUE(spinUntil([&] { return !tracking() && !view->popUpMenuForTesting(); }, 2s));
  EXPECT_EQ(linesWith(log.lines(), "did not say that the menu closed"), 1);

  // GNOME Shell's "opened" and "closed" around AboutToShow. (AboutToShow alone, as GNOME Shell
  // sends it at registration and xfce4-panel and waybar on open, holds nothing: the host tests
  // time a change before and after the menu there.)
  const std::tuple<const char*, const char*, bool> steps[] = {
      {"Event", opened, true},
      {"AboutToShow", "(0,)", true},
      {"Event", "(0, 'closed', <0>, uint32 0)", false}};
  for (const auto& [method, parameters, trackingAfter] : steps) {
    panel.menu(method, parameters);
    pause(150ms);
    EXPECT_EQ(tracking(), trackingAfter) << method << parameters;
  }
  // lxqt-panel's left click: our own menu opens, and holds the refresh while it shows; the
  // lxqt-panel host test closes it.
  panel.activate();
  EXPECT_TRUE(spinUntil([&] { return view->popUpMenuForTesting() && tracking(); }));

  // The exported entries change in place; a host's click on "Info..." sends its action.
  GList* entries = dbusmenu_menuitem_get_children(view->menuExportForTesting()->rootForTesting());
  item->menu()->items()[0]->setTitle("Fan 1: 1350 RPM");
  EXPECT_STREQ(dbusmenu_menuitem_property_get(DBUSMENU_MENUITEM(entries->data), "label"),
               "Fan 1: 1350 RPM");
  dbusmenu_menuitem_handle_event(DBUSMENU_MENUITEM(entries->next->data), "clicked",
                                 g_variant_new_int32(0), 0);
  EXPECT_TRUE(spinUntil([&] { return target.abouts == 1; }));
}

}  // namespace
