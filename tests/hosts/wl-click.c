// wl-click: a left click at X,Y on a wlroots compositor through a virtual pointer, for headless
// hosts that have no input device (sway with WLR_LIBINPUT_NO_DEVICES: its seat then has no
// pointer, and "swaymsg seat - cursor press" reaches no client).
//   wl-click X Y
// Coordinates are those of the one 1280x800 output at 0,0 that the host's compositor has.
// The two interfaces come from the wlroots virtual pointer protocol (version 1), declared here
// so that no protocol scanner is needed: only the requests up to "frame", in the protocol's order.
#include <linux/input-event-codes.h>
#include <stdio.h>
#include <stdlib.h>
#include <string.h>
#include <time.h>
#include <unistd.h>
#include <wayland-client.h>

static const struct wl_interface *no_types[] = {NULL, NULL, NULL, NULL, NULL};
static const struct wl_message pointer_requests[] = {
    {"motion", "uff", no_types},  {"motion_absolute", "uuuuu", no_types},
    {"button", "uuu", no_types},  {"axis", "uuf", no_types},
    {"frame", "", no_types},
};
static const struct wl_interface pointer_iface = {"zwlr_virtual_pointer_v1", 1, 5, pointer_requests, 0, NULL};
static const struct wl_interface *manager_types[] = {&wl_seat_interface, &pointer_iface};
static const struct wl_message manager_requests[] = {{"create_virtual_pointer", "?on", manager_types}};
static const struct wl_interface manager_iface = {"zwlr_virtual_pointer_manager_v1", 1, 1, manager_requests, 0, NULL};
enum { MOTION_ABSOLUTE = 1, BUTTON = 2, FRAME = 4 };
enum { width = 1280, height = 800 };

// The manager, into *data; the pointer it makes goes to the compositor's default seat.
static void on_global(void *data, struct wl_registry *registry, uint32_t name, const char *iface, uint32_t version) {
  (void)version;
  if (strcmp(iface, manager_iface.name) == 0) *(void **)data = wl_registry_bind(registry, name, &manager_iface, 1);
}
static void on_global_remove(void *data, struct wl_registry *registry, uint32_t name) {
  (void)data, (void)registry, (void)name;
}
static const struct wl_registry_listener registry_listener = {.global = on_global,
                                                              .global_remove = on_global_remove};

static uint32_t now_ms(void) {
  struct timespec ts;
  clock_gettime(CLOCK_MONOTONIC, &ts);
  return (uint32_t)((uint64_t)ts.tv_sec * 1000u + (uint64_t)ts.tv_nsec / 1000000u);
}

// One request and a frame, then a round trip so that the compositor has handled both.
static void send(struct wl_display *display, struct wl_proxy *pointer, uint32_t opcode, uint32_t a, uint32_t b,
                 uint32_t c, uint32_t d) {
  if (opcode == MOTION_ABSOLUTE)
    wl_proxy_marshal_flags(pointer, opcode, NULL, 1, 0, now_ms(), a, b, c, d);
  else
    wl_proxy_marshal_flags(pointer, opcode, NULL, 1, 0, now_ms(), a, b);
  wl_proxy_marshal_flags(pointer, FRAME, NULL, 1, 0);
  wl_display_roundtrip(display);
  usleep(50000);
}

int main(int argc, char **argv) {
  const long x = argc == 3 ? strtol(argv[1], NULL, 10) : -1, y = argc == 3 ? strtol(argv[2], NULL, 10) : -1;
  struct wl_display *display = wl_display_connect(NULL);
  struct wl_proxy *manager = NULL;
  if (display != NULL) {
    wl_registry_add_listener(wl_display_get_registry(display), &registry_listener, &manager);
    wl_display_roundtrip(display);
  }
  if (manager == NULL || x < 0 || y < 0 || x >= width || y >= height) {
    fprintf(stderr, "usage: wl-click X Y, on a 1280x800 wlroots output with a virtual pointer manager\n");
    return 1;
  }
  struct wl_proxy *pointer = wl_proxy_marshal_flags(manager, 0, &pointer_iface, 1, 0, NULL, NULL);
  send(display, pointer, MOTION_ABSOLUTE, (uint32_t)x, (uint32_t)y, width, height);
  send(display, pointer, BUTTON, BTN_LEFT, WL_POINTER_BUTTON_STATE_PRESSED, 0, 0);
  send(display, pointer, BUTTON, BTN_LEFT, WL_POINTER_BUTTON_STATE_RELEASED, 0, 0);
  wl_display_disconnect(display);
  return 0;
}
