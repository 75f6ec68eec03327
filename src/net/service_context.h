#pragma once

#include <cstdint>

#include "platform/message_loop.h"
#include "platform/payload.h"
#include "shell/zelk_lib_binding.h"

namespace net {

// What every service request needs: the support library that carries the transfers, and the
// main window that workers report to. Copied into each worker's record; the binding and the
// loop outlive every worker (the loop waits for its workers before it goes).
struct ServiceContext {
  const shell::ZelkLibBinding* lib = nullptr;
  platform::MessageLoop* loop = nullptr;
  platform::WindowId mainWindow = 0;

  const shell::ZelkLibBinding& binding() const { return *lib; }
  // Posts a private message to the main window; dropped when there is no window.
  void postToMainWindow(std::uint32_t message, platform::Payload payload = {}) const;
};

}  // namespace net
