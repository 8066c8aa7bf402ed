#pragma once
// The messages of GLib and of the libraries that log through it (GIO, GTK, dbusmenu), written
// by NSLog like the program's own: escaped, and limited when repeated in a flood. Each reads
// "<domain>-<LEVEL>: <message>" ("LIBDBUSMENU-GLIB-WARNING: ..."). Debug and info messages
// appear only where G_MESSAGES_DEBUG asks for them, as with GLib's own writer; an error still
// ends the program.

// Installs the writer for the whole process; later calls do nothing.
void routeLibraryLogsToNSLog();
