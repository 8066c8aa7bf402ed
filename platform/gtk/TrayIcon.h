#pragma once
// The XEmbed tray icon (GtkStatusIcon) shown where no StatusNotifierWatcher hosts the item: the
// title drawn at the size the tray gives the icon, the tooltip, and a click (either button) that
// asks for the menu. Knows whether a tray has embedded it. The GtkStatusIcon is made with the
// first title.

#include <gtk/gtk.h>

#include <functional>
#include <string>
#include <vector>

#include "platform/gtk/GObjectPtr.h"
#include "platform/panel/PanelToolkit.h"

class TrayIcon final : public TrayIconView {
 public:
  // GTK must be initialised.
  explicit TrayIcon(Callbacks callbacks);
  ~TrayIcon() override;
  TrayIcon(const TrayIcon&) = delete;
  TrayIcon& operator=(const TrayIcon&) = delete;

  void show(const std::string& title, const std::string& toolTip) override;
  bool isEmbedded() const override;

  // nullptr until the first title is shown.
  GtkStatusIcon* statusIcon() const { return icon.get(); }

 private:
  void draw();
  static gboolean sizeChanged(GtkStatusIcon* icon, gint size, gpointer self);
  static void clicked(GtkStatusIcon* icon, gpointer self);
  static void popupMenu(GtkStatusIcon* icon, guint button, guint time, gpointer self);
  static void embeddedChanged(GObject* icon, GParamSpec* property, gpointer self);

  Callbacks callbacks;
  GObjectPtr<GtkStatusIcon> icon;
  std::vector<SignalConnection> signals;
  std::string title;
  int sizePx = 0;
};
