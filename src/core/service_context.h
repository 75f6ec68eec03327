#pragma once

#include <cstdint>

#include "core/zelk_lib_binding.h"
#include "platform/message_loop.h"
#include "platform/payload.h"

namespace core {

// What every service request needs: the support library that carries the transfers, and the
// main window that workers report to. Copied into each worker's record; the binding and the
// loop outlive every worker (the loop waits for its workers before it goes).
struct ServiceContext {
  const core::ZelkLibBinding* lib = nullptr;
  platform::MessageLoop* loop = nullptr;
  platform::WindowId mainWindow = 0;

  const core::ZelkLibBinding& binding() const { return *lib; }
  // Posts a private message to the main window; dropped when there is no window.
  void postToMainWindow(std::uint32_t message, platform::Payload payload = {}) const;
};

}  // namespace core
