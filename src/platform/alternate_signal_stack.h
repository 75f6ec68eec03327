#pragma once

#include <csignal>
#include <memory>

namespace platform {

// An alternate signal stack for the calling thread while the object lives. A stack overflow
// leaves no room on the thread's own stack for a signal handler; on this one the crash dump
// writer still runs. Signal stacks belong to one thread each, so every thread the program starts
// makes one before anything else, and the one it had before comes back when the object goes.
// Made and destroyed on the same thread.
class AlternateSignalStack {
 public:
  AlternateSignalStack();
  ~AlternateSignalStack();
  AlternateSignalStack(const AlternateSignalStack&) = delete;
  AlternateSignalStack& operator=(const AlternateSignalStack&) = delete;

  bool installed() const { return installed_; }

 private:
  std::unique_ptr<char[]> memory_;
  stack_t previous_{};
  bool installed_ = false;
};

}  // namespace platform
