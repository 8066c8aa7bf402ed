#include "platform/gtk/PreferencesView.h"

#include <string>

#include "platform/foundation/NSLog.h"
#include "resources/PyrelleResources.h"

namespace {

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

}  // namespace

std::unique_ptr<PreferencesView> PreferencesView::load(NSMainInterface& objects) {
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
  auto* field = find<GtkEntry>(b, "intervalField", GTK_TYPE_ENTRY);
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

  std::unique_ptr<PreferencesView> view(
      new PreferencesView(objects.window, std::move(builder), window));
  view->bindings.push_back(
      std::make_unique<SegmentedBinding>(objects.unitsControl, std::move(segments)));
  view->bindings.push_back(std::make_unique<SliderBinding>(objects.intervalSlider, slider));
  view->bindings.push_back(std::make_unique<FieldBinding>(objects.intervalField, field));
  view->bindings.push_back(std::make_unique<CheckboxBinding>(objects.loginCheckbox, checkbox));
  return view;
}

PreferencesView::PreferencesView(NSWindow& window, GObjectPtr<GtkBuilder> interface,
                                 GtkWidget* widget)
    : model(window),
      builder(std::move(interface)),
      windowWidget(ownWidget(widget)),
      deleteEvent(widget, "delete-event", G_CALLBACK(deleted), this) {
  model.setObserver(this);
  if (model.isVisible()) windowDidOrderFront(model);
}

PreferencesView::~PreferencesView() {
  model.setObserver(nullptr);
  // The bindings let go of their widgets before the window takes them down.
  bindings.clear();
}

GObject* PreferencesView::objectForTesting(const char* id) const {
  return gtk_builder_get_object(builder.get(), id);
}

void PreferencesView::windowDidOrderFront(NSWindow& /*window*/) { gtk_window_present(window()); }

// Closing the window only hides it, so that it can come back with all its controls.
gboolean PreferencesView::deleted(GtkWidget* widget, GdkEvent* /*event*/, gpointer self) {
  gtk_widget_hide(widget);
  static_cast<PreferencesView*>(self)->model.userClose();
  return TRUE;
}
