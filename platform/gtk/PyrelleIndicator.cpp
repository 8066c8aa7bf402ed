#include "platform/gtk/PyrelleIndicator.h"

// GtkStatusIcon is deprecated in GTK 3, but it is what the library falls back to.
G_GNUC_BEGIN_IGNORE_DEPRECATIONS

namespace {

constexpr const char* fallbackIconKey = "pyrelle-fallback-icon";
constexpr const char* tooltipKey = "pyrelle-tooltip";

AppIndicatorClass* parentClass = nullptr;

void applyTooltip(AppIndicator* indicator) {
  auto* icon = static_cast<GtkStatusIcon*>(g_object_get_data(G_OBJECT(indicator), fallbackIconKey));
  auto* tooltip = static_cast<const char*>(g_object_get_data(G_OBJECT(indicator), tooltipKey));
  if (icon != nullptr) gtk_status_icon_set_tooltip_text(icon, tooltip);
}

GtkStatusIcon* fallback(AppIndicator* indicator) {
  GtkStatusIcon* icon = parentClass->fallback(indicator);
  g_object_set_data(G_OBJECT(indicator), fallbackIconKey, icon);
  applyTooltip(indicator);
  return icon;
}

void unfallback(AppIndicator* indicator, GtkStatusIcon* icon) {
  g_object_set_data(G_OBJECT(indicator), fallbackIconKey, nullptr);
  parentClass->unfallback(indicator, icon);
}

void classInit(gpointer klass, gpointer /*data*/) {
  parentClass = static_cast<AppIndicatorClass*>(g_type_class_peek_parent(klass));
  auto* indicatorClass = static_cast<AppIndicatorClass*>(klass);
  indicatorClass->fallback = fallback;
  indicatorClass->unfallback = unfallback;
}

GType pyrelleIndicatorType() {
  static const GType type = g_type_register_static_simple(
      APP_INDICATOR_TYPE, "PyrelleIndicator", sizeof(AppIndicatorClass), classInit,
      sizeof(AppIndicator), nullptr, static_cast<GTypeFlags>(0));
  return type;
}

}  // namespace

AppIndicator* pyrelleIndicatorNew(const std::string& id, const std::string& iconName) {
  return static_cast<AppIndicator*>(g_object_new(pyrelleIndicatorType(), "id", id.c_str(),
                                                 "category", "Hardware", "icon-name",
                                                 iconName.c_str(), nullptr));
}

void pyrelleIndicatorSetTooltip(AppIndicator* indicator, const std::string& tooltip) {
  app_indicator_set_title(indicator, tooltip.c_str());
  g_object_set_data_full(G_OBJECT(indicator), tooltipKey, g_strdup(tooltip.c_str()), g_free);
  applyTooltip(indicator);
}

GtkStatusIcon* pyrelleIndicatorFallbackIcon(AppIndicator* indicator) {
  return static_cast<GtkStatusIcon*>(g_object_get_data(G_OBJECT(indicator), fallbackIconKey));
}

G_GNUC_END_IGNORE_DEPRECATIONS
