#pragma once

#include <mutex>

namespace platform {

// Taken by the window thread around handlers that change lists and records; recursive because
// a handler may call another that takes it too.
using RecursiveMutex = std::recursive_mutex;
using RecursiveLock = std::lock_guard<std::recursive_mutex>;

}  // namespace platform
