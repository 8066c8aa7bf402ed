#include "platform/gtk/PreferencesWindow.h"

#include <string>

#include "platform/foundation/NSLog.h"
#include "resources/PyrelleResources.h"

namespace {

// The keys that close the window, as its close button does.
struct CloseKey {
  guint key;
  GdkModifierType modifiers;
};
constexpr CloseKey closingKeys[] = {{GDK_KEY_Escape, GdkModifierType{}},
                                    {GDK_KEY_w, GDK_CONTROL_MASK}};

// The object `id` of the interface file when it is of `type`; nullptr (logged) otherwise.
template <class Widget>
Widget* find(GtkBuilder* builder, const char* id, GType type) {
  GObject* object = gtk_builder_get_object(builder, id);
  if (object == nullptr || !g_type_is_a(G_OBJECT_TYPE(object), type)) {
    NSLog(std::string("Preferences window: the interface file has no ") + g_type_name(type) +
          " \"" + id + "\"");
    return nullptr;
  }
  return reinterpret_cast<Widget*>(object);
}

std::vector<GtkToggleButton*> toggleButtonsIn(GtkContainer* box) {
  std::vector<GtkToggleButton*> buttons;
  GList* children = gtk_container_get_children(box);
  for (GList* child = children; child != nullptr; child = child->next) {
    if (GTK_IS_TOGGLE_BUTTON(child->data)) buttons.push_back(GTK_TOGGLE_BUTTON(child->data));
  }
  g_list_free(children);
  return buttons;
}

// The seconds entry takes what the slider can show, in the same steps.
void boundLike(GtkSpinButton* entry, GtkRange* slider) {
  GtkAdjustment* bounds = gtk_range_get_adjustment(slider);
  gtk_spin_button_set_range(entry, gtk_adjustment_get_lower(bounds),
                            gtk_adjustment_get_upper(bounds));
  gtk_spin_button_set_increments(entry, gtk_adjustment_get_step_increment(bounds),
                                 gtk_adjustment_get_page_increment(bounds));
}

}  // namespace

std::unique_ptr<PreferencesWindow> PreferencesWindow::build(NSMainInterface& objects) {
  GObjectPtr<GtkBuilder> builder(gtk_builder_new());
  GErrorOut error;
  if (!gtk_builder_add_from_resource(builder.get(), PyrelleMainInterfaceResource, error.out())) {
    NSLog("Preferences window: cannot load the interface file: " + error.message());
    return nullptr;
  }
  GtkBuilder* b = builder.get();
  auto* window = find<GtkWidget>(b, "window", GTK_TYPE_WINDOW);
  auto* units = find<GtkContainer>(b, "unitsControl", GTK_TYPE_CONTAINER);
  auto* slider = find<GtkRange>(b, "intervalSlider", GTK_TYPE_RANGE);
  auto* field = find<GtkSpinButton>(b, "intervalField", GTK_TYPE_SPIN_BUTTON);
  auto* checkbox = find<GtkToggleButton>(b, "loginCheckbox", GTK_TYPE_TOGGLE_BUTTON);
  if (window == nullptr || units == nullptr || slider == nullptr || field == nullptr ||
      checkbox == nullptr) {
    if (window != nullptr) gtk_widget_destroy(window);
    return nullptr;
  }
  std::vector<GtkToggleButton*> segments = toggleButtonsIn(units);
  if (static_cast<int>(segments.size()) != objects.unitsControl.segmentCount()) {
    NSLog("Preferences window: the units control's buttons do not match its segments");
  }
  boundLike(field, slider);

  auto built = std::make_unique<PreferencesWindow>(Passkey<PreferencesWindow>(), objects.window,
                                                   std::move(builder), window);
  auto& bindings = built->bindings;
  bindings.push_back(std::make_unique<SegmentedBinding>(objects.unitsControl, std::move(segments)));
  bindings.push_back(std::make_unique<SliderBinding>(objects.intervalSlider, slider));
  bindings.push_back(std::make_unique<FieldBinding>(objects.intervalField, field));
  bindings.push_back(std::make_unique<CheckboxBinding>(objects.loginCheckbox, checkbox));
  return built;
}

PreferencesWindow::PreferencesWindow(Passkey<PreferencesWindow> /*key*/, NSWindow& shown,
                                     GObjectPtr<GtkBuilder> interface, GtkWidget* widget)
    : model(shown),
      builder(std::move(interface)),
      windowWidget(ownWidget(widget)),
      closeKeys(gtk_accel_group_new()),
      deleteEvent(widget, "delete-event", G_CALLBACK(deleted), this) {
  // An accelerator group rather than a key handler: it matches Ctrl+W on any keyboard layout.
  for (const CloseKey& close : closingKeys) {
    gtk_accel_group_connect(closeKeys.get(), close.key, close.modifiers, GtkAccelFlags{},
                            g_cclosure_new(G_CALLBACK(closeKeyPressed), this, nullptr));
  }
  gtk_window_add_accel_group(window(), closeKeys.get());
}

PreferencesWindow::~PreferencesWindow() {
  gtk_window_remove_accel_group(window(), closeKeys.get());
  // The bindings let go of their widgets before the window takes them down.
  bindings.clear();
}

// Closing the window only hides it, so that it can come back with all its controls.
void PreferencesWindow::closeByUser() {
  hide();
  model.userClose();
}

gboolean PreferencesWindow::deleted(GtkWidget* /*widget*/, GdkEvent* /*event*/, gpointer self) {
  static_cast<PreferencesWindow*>(self)->closeByUser();
  return TRUE;
}

gboolean PreferencesWindow::closeKeyPressed(GtkAccelGroup* /*group*/, GObject* /*window*/,
                                            guint /*key*/, GdkModifierType /*modifiers*/,
                                            gpointer self) {
  static_cast<PreferencesWindow*>(self)->closeByUser();
  return TRUE;
}
