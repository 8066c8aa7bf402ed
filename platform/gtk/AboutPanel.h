#pragma once
// The About dialog: the bundle's name, version, copyright, description and licence, with the icon.
// Made when first shown; closing it only hides it.

#include <gtk/gtk.h>

#include <string>
#include <utility>

#include "platform/desktop/BundleInfo.h"
#include "platform/gtk/GObjectPtr.h"

class AboutPanel {
 public:
  explicit AboutPanel(BundleInfo bundle) : info(std::move(bundle)) {}
  AboutPanel(const AboutPanel&) = delete;
  AboutPanel& operator=(const AboutPanel&) = delete;

  // Shows the dialog, raised and focused.
  void show(const std::string& activationToken);
  // nullptr until first shown.
  GtkAboutDialog* dialog() const {
    return dialogWidget ? GTK_ABOUT_DIALOG(dialogWidget.get()) : nullptr;
  }

 private:
  static void responded(GtkDialog* dialog, gint response, gpointer self);

  BundleInfo info;
  OwnedWidget dialogWidget;
  SignalConnection response;
  SignalConnection deleteEvent;
};
