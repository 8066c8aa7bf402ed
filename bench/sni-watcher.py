#!/usr/bin/python3
"""A stand-in panel for benchmarks: owns org.kde.StatusNotifierWatcher on the session bus, accepts
item registrations, and reads an item's properties again after each of its change signals, as
panel hosts do. On SIGUSR1 it writes how many signals the items sent so far, one "member count"
a line, then their "total" and how many items "registered", to COUNTS-FILE; on SIGTERM it writes them and ends.

Usage: sni-watcher.py PROCESS-NAME COUNTS-FILE
PROCESS-NAME becomes this process's comm (what /proc/PID/comm shows), so that an item that
chooses between label and drawn icon by its host sees the host the benchmark wants.
"""
import collections
import ctypes
import os
import signal
import sys

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
          "NewToolTip": ["ToolTip"], "NewAttentionIcon": ["AttentionIconName"]}

name, counts_path = sys.argv[1], sys.argv[2]
ctypes.CDLL(None).prctl(15, name.encode()[:15], 0, 0, 0)  # PR_SET_NAME
items = []
counts = collections.Counter()
bus = Gio.bus_get_sync(Gio.BusType.SESSION)


def read(sender, path, properties):
    for prop in properties:
        bus.call(sender, path, "org.freedesktop.DBus.Properties", "Get",
                 GLib.Variant("(ss)", (ITEM, prop)), None, Gio.DBusCallFlags.NONE, -1, None,
                 None)


def on_item_signal(_bus, sender, path, _interface, member, _params):
    counts[member] += 1
    read(sender, path, REREAD.get(member, []))


def on_method(_bus, sender, _path, _interface, method, params, invocation):
    if method == "RegisterStatusNotifierItem":
        service = params.unpack()[0]
        path = service if service.startswith("/") else "/StatusNotifierItem"
        bus_name = sender if service.startswith("/") else service
        items.append(bus_name + path)
        bus.signal_subscribe(bus_name, ITEM, None, path, None, Gio.DBusSignalFlags.NONE,
                             on_item_signal)
        bus.call(bus_name, path, "org.freedesktop.DBus.Properties", "GetAll",
                 GLib.Variant("(s)", (ITEM,)), None, Gio.DBusCallFlags.NONE, -1, None, None)
        bus.emit_signal(None, "/StatusNotifierWatcher", "org.kde.StatusNotifierWatcher",
                        "StatusNotifierItemRegistered", GLib.Variant("(s)", (items[-1],)))
    invocation.return_value(None)


def on_get(_bus, _sender, _path, _interface, prop):
    return {"RegisteredStatusNotifierItems": GLib.Variant("as", items),
            "IsStatusNotifierHostRegistered": GLib.Variant("b", True),
            "ProtocolVersion": GLib.Variant("i", 0)}[prop]


def write_counts():
    with open(counts_path + ".new", "w") as out:
        for member, count in sorted(counts.items()):
            out.write(f"{member} {count}\n")
        out.write(f"total {sum(counts.values())}\n")
        out.write(f"registered {len(items)}\n")
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
