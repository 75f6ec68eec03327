#include "platform/alternate_signal_stack.h"

#include <cstddef>

namespace platform {
namespace {

// The crash dump writer's own buffers and the unwinder of its backtrace, with room to spare.
std::size_t stackSize() {
  return 64 * 1024 + static_cast<std::size_t>(SIGSTKSZ);
}

}  // namespace

AlternateSignalStack::AlternateSignalStack()
    : memory_(std::make_unique_for_overwrite<char[]>(stackSize())) {
  stack_t stack{};
  stack.ss_sp = memory_.get();
  stack.ss_size = stackSize();
  installed_ = sigaltstack(&stack, &previous_) == 0;
}

AlternateSignalStack::~AlternateSignalStack() {
  // The memory may go only once the thread no longer names it as its signal stack.
  if (installed_) sigaltstack(&previous_, nullptr);
}

}  // namespace platform
