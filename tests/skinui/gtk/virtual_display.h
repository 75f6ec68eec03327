#pragma once

#include <sys/types.h>

#include <string>

namespace skinui_gtk_test {

// An X server without a screen (Xvfb) started by a test: 1280 × 960, 24 bits, no TCP, a black
// root window. It picks a free display number itself.
class VirtualDisplay {
 public:
  static constexpr int kWidth = 1280;
  static constexpr int kHeight = 960;

  // Whether Xvfb can be run here (tests skip without it).
  static bool Installed();

  VirtualDisplay() = default;
  ~VirtualDisplay();
  VirtualDisplay(const VirtualDisplay&) = delete;
  VirtualDisplay& operator=(const VirtualDisplay&) = delete;

  // `endWithThisProcess`: the server also ends if this process dies without stopping it.
  bool Start(std::string& error, bool endWithThisProcess = true);
  // Ends the server now (the programs connected to it lose their display).
  void Stop();
  // ":N".
  const std::string& name() const { return name_; }

 private:
  pid_t pid_ = -1;
  std::string name_;
};

}  // namespace skinui_gtk_test
