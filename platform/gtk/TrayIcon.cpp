#include "platform/gtk/TrayIcon.h"

#include <algorithm>
#include <cstdlib>

#include "platform/foundation/NSBundle.h"
#include "platform/panel/TitleIcon.h"

// GtkStatusIcon is deprecated in GTK 3, yet it is the XEmbed tray icon GTK has.
G_GNUC_BEGIN_IGNORE_DEPRECATIONS

namespace {

// Before a tray says its size: the usual one of a tray in a 26-pixel panel.
constexpr int initialSizePx = 24;

// GtkStatusIcon shows its image at the stock icon size nearest to the tray's size (16, 24, 32,
// 48...), scaled to it: the title is drawn at that size.
int shownSizePx(int traySizePx) {
  int best = initialSizePx;
  int distance = G_MAXINT;
  for (const GtkIconSize size :
       {GTK_ICON_SIZE_MENU, GTK_ICON_SIZE_SMALL_TOOLBAR, GTK_ICON_SIZE_LARGE_TOOLBAR,
        GTK_ICON_SIZE_BUTTON, GTK_ICON_SIZE_DND, GTK_ICON_SIZE_DIALOG}) {
    int width = 0;
    int height = 0;
    if (!gtk_icon_size_lookup(size, &width, &height)) continue;
    const int away = std::max(std::abs(traySizePx - width), std::abs(traySizePx - height));
    if (away < distance) {
      distance = away;
      best = std::max(width, height);
    }
  }
  return best;
}

void freePixels(guchar* pixels, gpointer /*data*/) { g_free(pixels); }

// `icon` as a GdkPixbuf: straight 0xAARRGGBB words become R, G, B, A bytes.
GObjectPtr<GdkPixbuf> pixbufOf(const TitleIcon& icon) {
  const auto count = static_cast<std::size_t>(icon.width) * static_cast<std::size_t>(icon.height);
  if (icon.width <= 0 || icon.height <= 0 || icon.argb.size() != count) return nullptr;
  auto* pixels = static_cast<guchar*>(g_malloc(count * 4));
  for (std::size_t i = 0; i < count; ++i) {
    const std::uint32_t argb = icon.argb[i];
    pixels[i * 4 + 0] = static_cast<guchar>(argb >> 16);
    pixels[i * 4 + 1] = static_cast<guchar>(argb >> 8);
    pixels[i * 4 + 2] = static_cast<guchar>(argb);
    pixels[i * 4 + 3] = static_cast<guchar>(argb >> 24);
  }
  return GObjectPtr<GdkPixbuf>(gdk_pixbuf_new_from_data(pixels, GDK_COLORSPACE_RGB, TRUE, 8,
                                                        icon.width, icon.height, icon.width * 4,
                                                        freePixels, nullptr));
}

}  // namespace

TrayIcon::TrayIcon(Callbacks handlers) : callbacks(std::move(handlers)), sizePx(initialSizePx) {}

TrayIcon::~TrayIcon() {
  signals.clear();
  if (icon) gtk_status_icon_set_visible(icon.get(), FALSE);
}

void TrayIcon::show(const std::string& shownTitle, const std::string& toolTip) {
  if (shownTitle != title) {
    title = shownTitle;
    draw();
  }
  if (icon) gtk_status_icon_set_tooltip_text(icon.get(), toolTip.c_str());
}

bool TrayIcon::isEmbedded() const { return icon && gtk_status_icon_is_embedded(icon.get()); }

void TrayIcon::draw() {
  const GObjectPtr<GdkPixbuf> image = pixbufOf(drawTitleIcon(title, sizePx));
  if (!image) return;
  if (icon) {
    gtk_status_icon_set_from_pixbuf(icon.get(), image.get());
    return;
  }
  // Made with its first image, so that the tray sizes it for that from the start, and never
  // hidden and shown again: GTK takes the tray's window down and up for that, as it does to name
  // it (its class name is the program's already), and GDK then thaws updates of the new window
  // that only the old one froze, with a critical warning, on every tray tried.
  icon.reset(gtk_status_icon_new_from_pixbuf(image.get()));
  gtk_status_icon_set_title(icon.get(), NSBundle::mainBundle().identity().name.c_str());
  signals.emplace_back(icon.get(), "size-changed", G_CALLBACK(sizeChanged), this);
  signals.emplace_back(icon.get(), "activate", G_CALLBACK(clicked), this);
  signals.emplace_back(icon.get(), "popup-menu", G_CALLBACK(popupMenu), this);
  signals.emplace_back(icon.get(), "notify::embedded", G_CALLBACK(embeddedChanged), this);
}

// Handled here, so GTK does not scale the old image itself: the title is drawn again for the
// new size.
gboolean TrayIcon::sizeChanged(GtkStatusIcon* /*icon*/, gint size, gpointer self) {
  auto* tray = static_cast<TrayIcon*>(self);
  tray->sizePx = shownSizePx(size);
  if (!tray->title.empty()) tray->draw();
  return TRUE;
}

void TrayIcon::clicked(GtkStatusIcon* /*icon*/, gpointer self) {
  auto* tray = static_cast<TrayIcon*>(self);
  if (tray->callbacks.menuRequested) tray->callbacks.menuRequested();
}

void TrayIcon::popupMenu(GtkStatusIcon* icon, guint /*button*/, guint /*time*/, gpointer self) {
  clicked(icon, self);
}

void TrayIcon::embeddedChanged(GObject* /*icon*/, GParamSpec* /*property*/, gpointer self) {
  auto* tray = static_cast<TrayIcon*>(self);
  if (tray->callbacks.embeddingChanged) tray->callbacks.embeddingChanged();
}

G_GNUC_END_IGNORE_DEPRECATIONS
