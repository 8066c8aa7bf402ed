#include <gdk-pixbuf/gdk-pixbuf.h>
#include <gtest/gtest.h>
#include <gtk/gtk.h>

#include <filesystem>
#include <string>

#include "GtkTestSupport.h"
#include "platform/foundation/NSRunLoop.h"
#include "platform/gtk/PyrelleIndicator.h"
#include "platform/gtk/StatusBarView.h"

namespace {

std::string stringOf(GVariant* value) {
  if (value == nullptr) return "<none>";
  std::string text = g_variant_get_string(value, nullptr);
  g_variant_unref(value);
  return text;
}

bool isPngOfSize(const std::string& path, int pixels) {
  GdkPixbuf* image = gdk_pixbuf_new_from_file(path.c_str(), nullptr);
  if (image == nullptr) return false;
  const bool fits =
      gdk_pixbuf_get_width(image) == pixels && gdk_pixbuf_get_height(image) == pixels;
  g_object_unref(image);
  return fits && path.ends_with(".png");
}

// An entry of the exported D-Bus menu.
struct ExportedEntry {
  gint32 id;
  std::string label;
  bool separator;
  bool enabled;
};

// The root's entries, as com.canonical.dbusmenu's GetLayout gives them to a panel.
std::vector<ExportedEntry> exportedEntries(GVariant* layout) {
  std::vector<ExportedEntry> entries;
  if (layout == nullptr) return entries;
  GVariant* root = g_variant_get_child_value(layout, 1);
  GVariant* children = g_variant_get_child_value(root, 2);
  for (gsize index = 0; index < g_variant_n_children(children); ++index) {
    GVariant* boxed = g_variant_get_child_value(children, index);
    GVariant* child = g_variant_get_variant(boxed);
    ExportedEntry entry{0, "", false, true};
    GVariant* properties = nullptr;
    g_variant_get(child, "(i@a{sv}av)", &entry.id, &properties, nullptr);
    const char* text = nullptr;
    if (g_variant_lookup(properties, "label", "&s", &text)) entry.label = text;
    if (g_variant_lookup(properties, "type", "&s", &text)) entry.separator = g_strcmp0(text, "separator") == 0;
    gboolean enabled = TRUE;
    if (g_variant_lookup(properties, "enabled", "b", &enabled)) entry.enabled = enabled;
    entries.push_back(entry);
    g_variant_unref(properties);
    g_variant_unref(child);
    g_variant_unref(boxed);
  }
  g_variant_unref(children);
  g_variant_unref(root);
  g_variant_unref(layout);
  return entries;
}

// A status item as the application makes it: a variable-length item with the menu attached.
class StatusItemViewTest : public GtkViewTest {
 protected:
  ~StatusItemViewTest() override { g_unsetenv("XDG_CURRENT_DESKTOP"); }

  void makeItem() {
    item = NSStatusBar::systemStatusBar().statusItemWithLength(NSVariableStatusItemLength);
    auto menu = std::make_shared<NSMenu>("Pyrelle");
    menu->addItem(std::make_shared<NSMenuItem>("Fan 1: 1200 RPM", NSSelector{}, ""));
    menu->addItem(NSMenuItem::separatorItem());
    auto info = std::make_shared<NSMenuItem>("Info...", &RecordingTarget::about, "");
    info->setTarget(&target);
    menu->addItem(info);
    item->setMenu(menu);
    view = backend->statusBarViewForTesting()->viewOf(*item);
    ASSERT_NE(view, nullptr);
  }
  AppIndicator* indicator() const { return view->indicatorForTesting(); }
  std::string icon() const { return app_indicator_get_icon(indicator()); }

  // Waits until the indicator registered with `watcher`; false after a test failure.
  bool registeredWith(const TestStatusNotifierWatcher& watcher) {
    const bool registered =
        spinUntil([&] { return view->isRegistered() && !watcher.items().empty(); });
    EXPECT_TRUE(registered) << "the indicator never registered with the watcher";
    return registered;
  }

  std::shared_ptr<NSStatusItem> item;
  StatusItemView* view = nullptr;
};

TEST_F(StatusItemViewTest, LabelFollowsTheTitleWhereThePanelShowsLabels) {
  g_setenv("XDG_CURRENT_DESKTOP", "ubuntu:GNOME", TRUE);
  TestStatusNotifierWatcher watcher;
  makeItem();
  item->setTitle(" 5 °C");
  ASSERT_TRUE(registeredWith(watcher));
  const auto& exported = watcher.items().front();

  EXPECT_EQ(view->presentation(), TitlePresentation::Label);
  EXPECT_STREQ(app_indicator_get_label(indicator()), " 5 °C");
  EXPECT_STREQ(app_indicator_get_label_guide(indicator()), "-00 °F");
  EXPECT_EQ(stringOf(watcher.itemProperty(exported, "XAyatanaLabel")), " 5 °C");
  EXPECT_TRUE(icon().ends_with("pyrelle.svg") || icon() == "pyrelle") << icon();

  item->setTitle("104 °F");
  EXPECT_STREQ(app_indicator_get_label(indicator()), "104 °F");
  EXPECT_EQ(stringOf(watcher.itemProperty(exported, "XAyatanaLabel")), "104 °F");
  EXPECT_EQ(stringOf(watcher.itemProperty(exported, "Title")), "Pyrelle: 104 °F");
}

TEST_F(StatusItemViewTest, TitleIsDrawnIntoTheIconWhereThePanelIgnoresLabels) {
  g_setenv("XDG_CURRENT_DESKTOP", "KDE", TRUE);
  TestStatusNotifierWatcher watcher;
  makeItem();
  item->setTitle("45 °C");
  ASSERT_TRUE(registeredWith(watcher));
  const auto& exported = watcher.items().front();

  EXPECT_EQ(view->presentation(), TitlePresentation::Icon);
  EXPECT_EQ(stringOf(watcher.itemProperty(exported, "XAyatanaLabel")), "");
  EXPECT_EQ(stringOf(watcher.itemProperty(exported, "Title")), "Pyrelle: 45 °C");
  const std::string first = icon();
  EXPECT_TRUE(isPngOfSize(first, 64)) << first;
  EXPECT_EQ(stringOf(watcher.itemProperty(exported, "IconName")), first);

  // Each title gets a file of its own name, as panels cache icons by name; old ones go.
  item->setTitle("46 °C");
  item->setTitle("47 °C");
  EXPECT_NE(icon(), first);
  EXPECT_TRUE(isPngOfSize(icon(), 64));
  EXPECT_FALSE(std::filesystem::exists(first));
}

TEST_F(StatusItemViewTest, FallbackTrayIconShowsTheTitleUntilAPanelAppears) {
  g_setenv("XDG_CURRENT_DESKTOP", "GNOME", TRUE);
  makeItem();
  item->setTitle("45 °C");
  // No watcher on the bus: the library falls back to a plain tray icon, which has no label.
  ASSERT_TRUE(spinUntil([&] { return pyrelleIndicatorFallbackIcon(indicator()) != nullptr; }));
  EXPECT_EQ(view->presentation(), TitlePresentation::Icon);
  EXPECT_TRUE(isPngOfSize(icon(), 64)) << icon();
  G_GNUC_BEGIN_IGNORE_DEPRECATIONS
  gchar* tooltip = gtk_status_icon_get_tooltip_text(pyrelleIndicatorFallbackIcon(indicator()));
  G_GNUC_END_IGNORE_DEPRECATIONS
  EXPECT_STREQ(tooltip, "Pyrelle: 45 °C");
  g_free(tooltip);

  TestStatusNotifierWatcher watcher;
  ASSERT_TRUE(registeredWith(watcher));
  EXPECT_EQ(view->presentation(), TitlePresentation::Label);
  EXPECT_STREQ(app_indicator_get_label(indicator()), "45 °C");
}

TEST_F(StatusItemViewTest, ExportedMenuMirrorsTheEntriesAndChangesInPlace) {
  TestStatusNotifierWatcher watcher;
  makeItem();
  ASSERT_TRUE(registeredWith(watcher));
  const auto& exported = watcher.items().front();
  GVariant* menuPath = watcher.itemProperty(exported, "Menu");
  ASSERT_NE(menuPath, nullptr);
  const std::string path = g_variant_get_string(menuPath, nullptr);
  g_variant_unref(menuPath);
  auto layout = [&] {
    return exportedEntries(watcher.call(exported.busName, path, "com.canonical.dbusmenu",
                                        "GetLayout", g_variant_new("(ii@as)", 0, -1,
                                                                   g_variant_new_strv(nullptr, 0))));
  };

  auto entries = layout();
  ASSERT_EQ(entries.size(), 3u);
  EXPECT_EQ(entries[0].label, "Fan 1: 1200 RPM");
  EXPECT_FALSE(entries[0].enabled);
  EXPECT_TRUE(entries[1].separator);
  EXPECT_EQ(entries[2].label, "Info...");
  EXPECT_TRUE(entries[2].enabled);

  item->menu()->items()[0]->setTitle("Fan 1: 1350 RPM");
  ASSERT_TRUE(spinUntil([&] { return layout().at(0).label == "Fan 1: 1350 RPM"; }));
  auto changed = layout();
  EXPECT_EQ(changed[0].id, entries[0].id) << "the entry was rebuilt, not changed";
  EXPECT_FALSE(changed[0].enabled);

  // A panel's click on "Info..." sends the entry's action.
  g_variant_unref(watcher.call(exported.busName, path, "com.canonical.dbusmenu", "Event",
                               g_variant_new("(isvu)", entries[2].id, "clicked",
                                             g_variant_new_int32(0), 0u)));
  EXPECT_TRUE(spinUntil([&] { return !target.actions.empty(); }));
  EXPECT_EQ(target.actions, std::vector<std::string>{"about"});
}

TEST_F(StatusItemViewTest, RunLoopTracksWhileTheMenuIsOpen) {
  TestStatusNotifierWatcher watcher;
  makeItem();
  ASSERT_TRUE(registeredWith(watcher));
  const auto& exported = watcher.items().front();
  GVariant* menuPath = watcher.itemProperty(exported, "Menu");
  ASSERT_NE(menuPath, nullptr);
  const std::string path = g_variant_get_string(menuPath, nullptr);
  g_variant_unref(menuPath);
  auto send = [&](const char* event) {
    g_variant_unref(watcher.call(exported.busName, path, "com.canonical.dbusmenu", "Event",
                                 g_variant_new("(isvu)", 0, event, g_variant_new_int32(0), 0u)));
  };
  auto tracking = [] {
    return NSRunLoop::mainRunLoop().currentMode() == NSRunLoopMode::EventTracking;
  };

  // A panel showing the menu over D-Bus.
  g_variant_unref(watcher.call(exported.busName, path, "com.canonical.dbusmenu", "AboutToShow",
                               g_variant_new("(i)", 0)));
  send("opened");
  EXPECT_TRUE(spinUntil(tracking));
  send("closed");
  EXPECT_TRUE(spinUntil([&] { return !tracking(); }));

  // The fallback tray icon pops the GtkMenu up itself.
  GtkWidget* menu = GTK_WIDGET(view->menuViewForTesting()->gtkMenu());
  gtk_widget_show(menu);
  EXPECT_TRUE(tracking());
  gtk_widget_hide(menu);
  EXPECT_FALSE(tracking());
}

}  // namespace
