#pragma once

#include <mutex>
#include <string>
#include <vector>

namespace platform {

struct ShellOpenRequest {
  std::string verb;
  std::string target;
  std::string parameters;
  std::string directory;
};

// The shell "open" verb: URLs, folders and documents go to xdg-open; a program file is started
// directly with its parameters. Every request is recorded (the automation reports them); in
// record-only mode (ZELK_SHELL_OPEN=record) nothing is executed, and with
// ZELK_SHELL_OPEN=programs only program files are started (tests that watch an installed app
// run without handing URLs to a browser).
class ShellLauncher {
 public:
  explicit ShellLauncher(bool recordOnly);
  static bool RecordOnlyFromEnvironment();
  static bool ProgramsOnlyFromEnvironment();

  bool open(const ShellOpenRequest& request);
  std::vector<ShellOpenRequest> requests() const;

 private:
  bool recordOnly_;
  bool programsOnly_;
  mutable std::mutex mutex_;
  std::vector<ShellOpenRequest> requests_;
};

// Splits a parameter text the way a Windows program's command line would be split: blanks
// separate, double quotes group.
std::vector<std::string> SplitParameters(const std::string& parameters);

}  // namespace platform
