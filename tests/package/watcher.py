#!/usr/bin/env python3
"""A stand-in panel on the session bus: owns org.kde.StatusNotifierWatcher, prints "ready" once
it does, then "registered BUS-NAME OBJECT-PATH" for each item that registers."""
from gi.repository import Gio, GLib

INTERFACE = "org.kde.StatusNotifierWatcher"
XML = f"""<node><interface name='{INTERFACE}'>
  <method name='RegisterStatusNotifierItem'><arg type='s' direction='in'/></method>
  <method name='RegisterStatusNotifierHost'><arg type='s' direction='in'/></method>
  <property name='RegisteredStatusNotifierItems' type='as' access='read'/>
  <property name='IsStatusNotifierHostRegistered' type='b' access='read'/>
  <property name='ProtocolVersion' type='i' access='read'/>
  <signal name='StatusNotifierItemRegistered'><arg type='s'/></signal>
  <signal name='StatusNotifierHostRegistered'/>
</interface></node>"""

items = []


def method_call(connection, sender, path, interface, method, parameters, invocation):
    if method == "RegisterStatusNotifierItem":
        (service,) = parameters.unpack()
        # Items pass either their object path (on the caller's connection) or a bus name.
        name, item_path = (sender, service) if service.startswith("/") else (service, "/StatusNotifierItem")
        items.append(name + item_path)
        print("registered", name, item_path, flush=True)
        connection.emit_signal(None, path, INTERFACE, "StatusNotifierItemRegistered",
                               GLib.Variant("(s)", (name + item_path,)))
    invocation.return_value(None)


def get_property(connection, sender, path, interface, name):
    return {
        "RegisteredStatusNotifierItems": GLib.Variant("as", items),
        "IsStatusNotifierHostRegistered": GLib.Variant("b", True),
        "ProtocolVersion": GLib.Variant("i", 0),
    }[name]


bus = Gio.bus_get_sync(Gio.BusType.SESSION, None)
bus.register_object("/StatusNotifierWatcher", Gio.DBusNodeInfo.new_for_xml(XML).interfaces[0],
                    method_call, get_property, None)
Gio.bus_own_name_on_connection(bus, INTERFACE, Gio.BusNameOwnerFlags.NONE,
                               lambda *_: print("ready", flush=True), lambda *_: loop.quit())
loop = GLib.MainLoop()
loop.run()
