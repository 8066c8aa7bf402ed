#pragma once

#include <chrono>
#include <functional>

// Runs the default main context until `done()` holds; false when `timeout` passed first.
bool spinUntil(const std::function<bool()>& done,
               std::chrono::milliseconds timeout = std::chrono::seconds(10));
