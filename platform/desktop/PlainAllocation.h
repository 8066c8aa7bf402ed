#pragma once
// GLib before 2.76 keeps freed small blocks in caches of its own (GSlice) for good. GDBus takes
// an incoming message apart into a value per element before anything of ours can refuse it, so
// a peer's single oversized call would leave the process tens of megabytes bigger. With
// G_SLICE=always-malloc those blocks come from malloc, which gives them back (MenuRequestLimits
// trims after a refusal). GLib reads the variable before main runs, so the program starts
// itself again with it set.

// Runs the program again, with the same arguments, with G_SLICE=always-malloc where the GLib in
// use needs it and the environment says nothing of G_SLICE; returns otherwise, and when the
// program cannot be run again (it goes on as it is).
void restartWithPlainAllocation(char** argv);
