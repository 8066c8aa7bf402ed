#pragma once
// Views into the I/O Kit stand-in's tables, so tests can check that callers release what they
// are handed.

#include <cstddef>

// Iterators and services handed out and not yet released.
std::size_t IOLiveObjectCountForTesting();
// Connections opened and not yet closed.
std::size_t IOOpenConnectionCountForTesting();
