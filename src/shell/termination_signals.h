#pragma once

#include <thread>

#include "platform/message_loop.h"

namespace shell {

// Ends the message loop in an orderly way when the process receives SIGTERM or SIGINT. The
// signal handler only writes one byte to a pipe; a watcher thread turns it into a quit message
// handled on the loop thread. Restores the previous handlers when destroyed. One instance per
// process at a time.
class TerminationSignals final : private platform::MessageTarget {
 public:
  explicit TerminationSignals(platform::MessageLoop& loop);
  ~TerminationSignals() override;
  TerminationSignals(const TerminationSignals&) = delete;
  TerminationSignals& operator=(const TerminationSignals&) = delete;

  // False when the pipe or the handlers could not be set up (the loop then ends only by quit).
  bool active() const { return active_; }

 private:
  void onMessage(platform::Message& message) override;
  void watch();

  platform::MessageLoop& loop_;
  platform::WindowId target_ = 0;
  int readFd_ = -1;
  int writeFd_ = -1;
  bool active_ = false;
  std::thread watcher_;
};

}  // namespace shell
