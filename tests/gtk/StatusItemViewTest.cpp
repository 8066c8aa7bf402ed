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

// A string or object path; takes the value.
std::string stringOf(GVariant* value) {
  if (value == nullptr) return "<none>";
  std::string text = g_variant_get_string(value, nullptr);
  g_variant_unref(value);
  return text;
}

void drop(GVariant* reply) {
  if (reply != nullptr) g_variant_unref(reply);
}

bool isPngOfSize(const std::string& path, int pixels) {
  GdkPixbuf* image = gdk_pixbuf_new_from_file(path.c_str(), nullptr);
  if (image == nullptr) return false;
  const bool fits = gdk_pixbuf_get_width(image) == pixels && gdk_pixbuf_get_height(image) == pixels;
  g_object_unref(image);
  return fits && path.ends_with(".png");
}

// The share of the icon's pixels that are opaque and light: the drawn text.
double textShare(const std::string& path) {
  GdkPixbuf* image = gdk_pixbuf_new_from_file(path.c_str(), nullptr);
  if (image == nullptr || gdk_pixbuf_get_n_channels(image) != 4) return -1;
  const int width = gdk_pixbuf_get_width(image);
  const int height = gdk_pixbuf_get_height(image);
  const guchar* pixels = gdk_pixbuf_read_pixels(image);
  int light = 0;
  for (int y = 0; y < height; ++y) {
    for (int x = 0; x < width; ++x) {
      const guchar* pixel = pixels + y * gdk_pixbuf_get_rowstride(image) + x * 4;
      light += pixel[0] > 200 && pixel[1] > 200 && pixel[2] > 200 && pixel[3] > 200;
    }
  }
  g_object_unref(image);
  return static_cast<double>(light) / (width * height);
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
    if (g_variant_lookup(properties, "type", "&s", &text))
      entry.separator = g_strcmp0(text, "separator") == 0;
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

  // Calls `method` of the item's exported com.canonical.dbusmenu, as a panel does; the reply is
  // the caller's (nullptr after a test failure).
  GVariant* callMenu(TestStatusNotifierWatcher& watcher, const char* method, GVariant* arguments) {
    const auto& exported = watcher.items().front();
    if (menuPath.empty()) menuPath = stringOf(watcher.itemProperty(exported, "Menu"));
    return watcher.call(exported.busName, menuPath, "com.canonical.dbusmenu", method, arguments);
  }
  void sendMenuEvent(TestStatusNotifierWatcher& watcher, gint32 id, const char* event) {
    drop(
        callMenu(watcher, "Event", g_variant_new("(isvu)", id, event, g_variant_new_int32(0), 0u)));
  }

  std::shared_ptr<NSStatusItem> item;
  StatusItemView* view = nullptr;
  std::string menuPath;
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
  EXPECT_TRUE(icon().ends_with("/pyrelle.svg") || icon() == "pyrelle") << icon();

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
  auto exportedIcon = [&] { return stringOf(watcher.itemProperty(exported, "IconName")); };
  const std::string first = exportedIcon();
  EXPECT_TRUE(isPngOfSize(first, 64)) << first;
  // Enough of it is text to be read, and not so much that it is a blot.
  EXPECT_GT(textShare(first), 0.08);
  EXPECT_LT(textShare(first), 0.6);

  // Each title gets a file of its own name, as panels cache icons by name; old ones go, and
  // the rest with the view.
  item->setTitle("46 °C");
  item->setTitle("104 °F");
  const std::string last = exportedIcon();
  EXPECT_NE(last, first);
  EXPECT_TRUE(isPngOfSize(last, 64));
  EXPECT_FALSE(std::filesystem::exists(first));
  backend.reset();
  EXPECT_FALSE(std::filesystem::exists(std::filesystem::path(last).parent_path()));
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
  auto layout = [&] {
    return exportedEntries(callMenu(
        watcher, "GetLayout", g_variant_new("(ii@as)", 0, -1, g_variant_new_strv(nullptr, 0))));
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
  sendMenuEvent(watcher, entries[2].id, "clicked");
  EXPECT_TRUE(spinUntil([&] { return !target.actions.empty(); }));
  EXPECT_EQ(target.actions, std::vector<std::string>{"about"});
}

TEST_F(StatusItemViewTest, RunLoopTracksWhileTheMenuIsOpen) {
  TestStatusNotifierWatcher watcher;
  makeItem();
  ASSERT_TRUE(registeredWith(watcher));
  auto tracking = [] {
    return NSRunLoop::mainRunLoop().currentMode() == NSRunLoopMode::EventTracking;
  };

  // A panel shows the menu over D-Bus.
  drop(callMenu(watcher, "AboutToShow", g_variant_new("(i)", 0)));
  sendMenuEvent(watcher, 0, "opened");
  EXPECT_TRUE(spinUntil(tracking));
  sendMenuEvent(watcher, 0, "closed");
  EXPECT_TRUE(spinUntil([&] { return !tracking(); }));

  // The fallback tray icon pops the GtkMenu up itself.
  GtkWidget* menu = GTK_WIDGET(view->menuViewForTesting()->gtkMenu());
  gtk_widget_show(menu);
  EXPECT_TRUE(tracking());
  gtk_widget_hide(menu);
  EXPECT_FALSE(tracking());
}

}  // namespace
