#!/usr/bin/env python3
"""A stand-in panel on the session bus: owns org.kde.StatusNotifierWatcher, prints "ready" once
it does, then "registered BUS-NAME OBJECT-PATH" for each item that registers by its object path,
as the program's item does. Nothing the program does not call is served."""
from gi.repository import Gio, GLib

INTERFACE = "org.kde.StatusNotifierWatcher"
XML = f"""<node><interface name='{INTERFACE}'>
  <method name='RegisterStatusNotifierItem'><arg type='s' direction='in'/></method>
</interface></node>"""


def method_call(connection, sender, path, interface, method, parameters, invocation):
    print("registered", sender, parameters.unpack()[0], flush=True)
    invocation.return_value(None)


bus = Gio.bus_get_sync(Gio.BusType.SESSION, None)
bus.register_object("/StatusNotifierWatcher", Gio.DBusNodeInfo.new_for_xml(XML).interfaces[0],
                    method_call, None, None)
Gio.bus_own_name_on_connection(bus, INTERFACE, Gio.BusNameOwnerFlags.NONE,
                               lambda *_: print("ready", flush=True), lambda *_: loop.quit())
loop = GLib.MainLoop()
loop.run()
