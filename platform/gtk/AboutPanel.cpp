#include "platform/gtk/AboutPanel.h"

#include "platform/foundation/NSLog.h"
#include "platform/gtk/WindowPresentation.h"
#include "resources/PyrelleResources.h"

namespace {

constexpr int logoPixels = 128;

}  // namespace

void AboutPanel::show(const std::string& activationToken) {
  if (!dialogWidget) {
    dialogWidget = ownWidget(gtk_about_dialog_new());
    GtkAboutDialog* about = dialog();
    gtk_about_dialog_set_program_name(about, info.name.c_str());
    gtk_about_dialog_set_version(about, info.version.c_str());
    gtk_about_dialog_set_copyright(about, info.copyright.c_str());
    gtk_about_dialog_set_comments(about, info.description.c_str());
    if (info.license == "MIT") gtk_about_dialog_set_license_type(about, GTK_LICENSE_MIT_X11);
    GErrorOut error;
    GObjectPtr<GdkPixbuf> logo(gdk_pixbuf_new_from_resource_at_scale(
        PyrelleIconResource, logoPixels, logoPixels, TRUE, error.out()));
    if (logo) gtk_about_dialog_set_logo(about, logo.get());
    if (!logo) NSLog("About: cannot load the logo (" + loggable(error.message()) + ")");
    response = SignalConnection(about, "response", G_CALLBACK(responded), this);
    deleteEvent =
        SignalConnection(about, "delete-event", G_CALLBACK(gtk_widget_hide_on_delete), nullptr);
  }
  presentWindow(GTK_WINDOW(dialogWidget.get()), activationToken);
}

// Close (or Escape) hides the dialog for the next time.
void AboutPanel::responded(GtkDialog* dialog, gint /*response*/, gpointer /*self*/) {
  gtk_widget_hide(GTK_WIDGET(dialog));
}
