// wl-click: clicks at X,Y on a wlroots compositor through a virtual pointer, for headless hosts
// that have no input device (sway with WLR_LIBINPUT_NO_DEVICES).
//   wl-click X Y [BUTTON]     BUTTON: 1 left (default), 2 middle, 3 right
// Coordinates are the first output's; the output is assumed at 0,0.
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

struct globals {
  struct wl_proxy *manager;
  struct wl_seat *seat;
  struct wl_output *output;
  uint32_t width, height;
};

static void on_mode(void *data, struct wl_output *output, uint32_t flags, int32_t width, int32_t height,
                    int32_t refresh) {
  struct globals *g = data;
  (void)output;
  (void)refresh;
  if ((flags & WL_OUTPUT_MODE_CURRENT) != 0 && width > 0 && height > 0) {
    g->width = (uint32_t)width;
    g->height = (uint32_t)height;
  }
}
static void on_geometry(void *data, struct wl_output *output, int32_t x, int32_t y, int32_t physical_width,
                        int32_t physical_height, int32_t subpixel, const char *make, const char *model,
                        int32_t transform) {
  (void)data, (void)output, (void)x, (void)y, (void)physical_width, (void)physical_height;
  (void)subpixel, (void)make, (void)model, (void)transform;
}
static void on_done(void *data, struct wl_output *output) { (void)data, (void)output; }
static void on_scale(void *data, struct wl_output *output, int32_t factor) { (void)data, (void)output, (void)factor; }
static const struct wl_output_listener output_listener = {
    .geometry = on_geometry, .mode = on_mode, .done = on_done, .scale = on_scale};

static void on_global(void *data, struct wl_registry *registry, uint32_t name, const char *iface, uint32_t version) {
  struct globals *g = data;
  (void)version;
  if (strcmp(iface, manager_iface.name) == 0) {
    g->manager = wl_registry_bind(registry, name, &manager_iface, 1);
  } else if (strcmp(iface, wl_seat_interface.name) == 0 && g->seat == NULL) {
    g->seat = wl_registry_bind(registry, name, &wl_seat_interface, 1);
  } else if (strcmp(iface, wl_output_interface.name) == 0 && g->output == NULL) {
    g->output = wl_registry_bind(registry, name, &wl_output_interface, 2);
    wl_output_add_listener(g->output, &output_listener, g);
  }
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
  if (argc < 3) {
    fprintf(stderr, "usage: wl-click X Y [BUTTON]\n");
    return 2;
  }
  const long x = strtol(argv[1], NULL, 10), y = strtol(argv[2], NULL, 10);
  const long which = argc > 3 ? strtol(argv[3], NULL, 10) : 1;
  const uint32_t button = which == 2 ? BTN_MIDDLE : which == 3 ? BTN_RIGHT : BTN_LEFT;
  struct wl_display *display = wl_display_connect(NULL);
  if (display == NULL) {
    fprintf(stderr, "wl-click: no Wayland display\n");
    return 1;
  }
  struct globals g = {0};
  wl_registry_add_listener(wl_display_get_registry(display), &registry_listener, &g);
  wl_display_roundtrip(display);
  wl_display_roundtrip(display);  // the output's mode
  if (g.manager == NULL || g.width == 0 || x < 0 || y < 0 || x >= g.width || y >= g.height) {
    fprintf(stderr, "wl-click: no virtual pointer manager, no output, or %ld,%ld outside it\n", x, y);
    return 1;
  }
  struct wl_proxy *pointer = wl_proxy_marshal_flags(g.manager, 0, &pointer_iface, 1, 0, g.seat, NULL);
  send(display, pointer, MOTION_ABSOLUTE, (uint32_t)x, (uint32_t)y, g.width, g.height);
  send(display, pointer, BUTTON, button, WL_POINTER_BUTTON_STATE_PRESSED, 0, 0);
  send(display, pointer, BUTTON, button, WL_POINTER_BUTTON_STATE_RELEASED, 0, 0);
  wl_display_disconnect(display);
  return 0;
}
