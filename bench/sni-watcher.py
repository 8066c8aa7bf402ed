#!/usr/bin/python3
"""A stand-in panel for benchmarks: owns org.kde.StatusNotifierWatcher on the session bus, accepts
item registrations, forgets an item when its name goes, and after each of an item's change signals
reads back the properties that signal names, as panel hosts do. Each registration is appended to
REGISTRATIONS-FILE as "SECONDS SERVICE" (wall clock, microseconds), for the time from a program's
start to its item's registration. On SIGUSR1 it writes how many signals the items sent so far, one
"member count" a line, then their "total", how many items are "registered" now and how many
read-backs "failed", to COUNTS-FILE; on SIGTERM it writes them and ends.

Usage: sni-watcher.py PROCESS-NAME COUNTS-FILE REGISTRATIONS-FILE
PROCESS-NAME becomes this process's comm (what /proc/PID/comm shows), so that an item that
chooses between label and drawn icon by its host sees the host the benchmark wants.
"""
import collections
import ctypes
import os
import signal
import sys
import time

from gi.repository import Gio, GLib

XML = """<node><interface name='org.kde.StatusNotifierWatcher'>
  <method name='RegisterStatusNotifierItem'><arg type='s' direction='in'/></method>
  <method name='RegisterStatusNotifierHost'><arg type='s' direction='in'/></method>
  <property name='RegisteredStatusNotifierItems' type='as' access='read'/>
  <property name='IsStatusNotifierHostRegistered' type='b' access='read'/>
  <property name='ProtocolVersion' type='i' access='read'/>
  <signal name='StatusNotifierItemRegistered'><arg type='s'/></signal>
  <signal name='StatusNotifierItemUnregistered'><arg type='s'/></signal>
  <signal name='StatusNotifierHostRegistered'/>
</interface></node>"""
ITEM = "org.kde.StatusNotifierItem"
# What a host reads again when an item says something changed.
REREAD = {"NewTitle": ["Title"], "NewIcon": ["IconName", "IconPixmap"],
          "NewAttentionIcon": ["AttentionIconName", "AttentionIconPixmap"],
          "NewOverlayIcon": ["OverlayIconName", "OverlayIconPixmap"],
          "NewToolTip": ["ToolTip"], "NewStatus": ["Status"],
          "XAyatanaNewLabel": ["XAyatanaLabel", "XAyatanaLabelGuide"]}

name, counts_path, registrations_path = sys.argv[1], sys.argv[2], sys.argv[3]
ctypes.CDLL(None).prctl(15, name.encode()[:15], 0, 0, 0)  # PR_SET_NAME
items = {}  # "bus-name/path" -> (signal subscription, name watch)
counts = collections.Counter()
failed = 0
bus = Gio.bus_get_sync(Gio.BusType.SESSION)


def answered(source, result):
    global failed
    try:
        source.call_finish(result)
    except GLib.Error:
        failed += 1


def read(sender, path, properties):
    for prop in properties:
        bus.call(sender, path, "org.freedesktop.DBus.Properties", "Get",
                 GLib.Variant("(ss)", (ITEM, prop)), None, Gio.DBusCallFlags.NONE, -1, None,
                 answered)


def on_item_signal(_bus, sender, path, _interface, member, _params):
    counts[member] += 1
    read(sender, path, REREAD.get(member, []))


def emit(member, item):
    try:
        bus.emit_signal(None, "/StatusNotifierWatcher", "org.kde.StatusNotifierWatcher", member,
                        GLib.Variant("(s)", (item,)))
    except GLib.Error:
        pass  # the bus is going as the session ends


def vanished(_bus, bus_name):
    for item in [item for item in items if item.startswith(bus_name + "/")]:
        subscription, watch = items.pop(item)
        bus.signal_unsubscribe(subscription)
        Gio.bus_unwatch_name(watch)
        emit("StatusNotifierItemUnregistered", item)


def on_method(_bus, sender, _path, _interface, method, params, invocation):
    if method == "RegisterStatusNotifierItem":
        service = params.unpack()[0]
        with open(registrations_path, "a") as out:
            out.write(f"{time.time():.6f} {service}\n")
        path = service if service.startswith("/") else "/StatusNotifierItem"
        bus_name = sender if service.startswith("/") else service
        item = bus_name + path
        if item in items:
            vanished(bus, bus_name)
        subscription = bus.signal_subscribe(bus_name, ITEM, None, path, None,
                                            Gio.DBusSignalFlags.NONE, on_item_signal)
        watch = Gio.bus_watch_name_on_connection(bus, bus_name, Gio.BusNameWatcherFlags.NONE,
                                                 None, vanished)
        items[item] = (subscription, watch)
        bus.call(bus_name, path, "org.freedesktop.DBus.Properties", "GetAll",
                 GLib.Variant("(s)", (ITEM,)), None, Gio.DBusCallFlags.NONE, -1, None, answered)
        emit("StatusNotifierItemRegistered", item)
    invocation.return_value(None)


def on_get(_bus, _sender, _path, _interface, prop):
    return {"RegisteredStatusNotifierItems": GLib.Variant("as", list(items)),
            "IsStatusNotifierHostRegistered": GLib.Variant("b", True),
            "ProtocolVersion": GLib.Variant("i", 0)}[prop]


def write_counts():
    with open(counts_path + ".new", "w") as out:
        for member, count in sorted(counts.items()):
            out.write(f"{member} {count}\n")
        out.write(f"total {sum(counts.values())}\n")
        out.write(f"registered {len(items)}\n")
        out.write(f"failed {failed}\n")
    os.replace(counts_path + ".new", counts_path)
    return GLib.SOURCE_CONTINUE


def finish():
    write_counts()
    loop.quit()


node = Gio.DBusNodeInfo.new_for_xml(XML)
bus.register_object("/StatusNotifierWatcher", node.interfaces[0], on_method, on_get, None)
Gio.bus_own_name_on_connection(bus, "org.kde.StatusNotifierWatcher",
                               Gio.BusNameOwnerFlags.NONE, None, None)
loop = GLib.MainLoop()
GLib.unix_signal_add(GLib.PRIORITY_DEFAULT, signal.SIGUSR1, write_counts)
GLib.unix_signal_add(GLib.PRIORITY_DEFAULT, signal.SIGTERM, finish)
loop.run()
