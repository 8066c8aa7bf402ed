#include "platform/gtk/AboutPanel.h"

#include "resources/PyrelleResources.h"

namespace {

constexpr int logoPixels = 128;

}  // namespace

void AboutPanel::show() {
  if (!dialogWidget) {
    dialogWidget = ownWidget(gtk_about_dialog_new());
    GtkAboutDialog* about = dialog();
    gtk_about_dialog_set_program_name(about, info.name.c_str());
    gtk_about_dialog_set_version(about, info.version.c_str());
    gtk_about_dialog_set_copyright(about, info.copyright.c_str());
    gtk_about_dialog_set_comments(about, info.description.c_str());
    if (info.license == "MIT") gtk_about_dialog_set_license_type(about, GTK_LICENSE_MIT_X11);
    GObjectPtr<GdkPixbuf> logo(gdk_pixbuf_new_from_resource_at_scale(
        PyrelleIconResource, logoPixels, logoPixels, TRUE, nullptr));
    if (logo) gtk_about_dialog_set_logo(about, logo.get());
    response = SignalConnection(about, "response", G_CALLBACK(responded), this);
    deleteEvent =
        SignalConnection(about, "delete-event", G_CALLBACK(gtk_widget_hide_on_delete), nullptr);
  }
  gtk_window_present(GTK_WINDOW(dialogWidget.get()));
}

// Close (or Escape) hides the dialog for the next time.
void AboutPanel::responded(GtkDialog* dialog, gint /*response*/, gpointer /*self*/) {
  gtk_widget_hide(GTK_WIDGET(dialog));
}
