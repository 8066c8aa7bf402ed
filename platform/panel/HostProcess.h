#pragma once
// Which program hosts the panel item: the process behind the watcher's bus connection, by name.

#include <cstddef>
#include <string>

// The kernel keeps this many characters of a process name (its comm).
inline constexpr std::size_t processNameCutLength = 15;

// The name of process `pid`: its comm, or its executable's file name where the comm is that name
// cut short (the kernel keeps 15 characters of it); empty when the process cannot be read.
std::string processName(int pid);
