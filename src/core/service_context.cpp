#include "core/service_context.h"

namespace core {

void ServiceContext::postToMainWindow(std::uint32_t message, platform::Payload payload) const {
  if (loop != nullptr && mainWindow != 0) loop->post(mainWindow, message, std::move(payload));
}

}  // namespace core
