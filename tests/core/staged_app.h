#pragma once

#include <functional>
#include <string>
#include <vector>

namespace core_testing {

// A private copy of the staged application folder for tests that run the real programs: the
// programs, the support library and the web module are copied into `root`/app, and the programs get
// a runtime folder, home and data folders of their own, so that instances of parallel tests never
// meet and nothing is registered in the real user's desktop.
class StagedApp {
 public:
  // The staged folder: ZELK_APP_DIR when set, else the build's.
  static std::string SourceFolder();
  // True when the support library has been built into the staged folder.
  static bool LibraryBuilt();

  explicit StagedApp(const std::string& root);

  const std::string& folder() const { return folder_; }
  std::string file(const std::string& relative) const { return folder_ + "/" + relative; }
  const std::string& runtimeFolder() const { return runtime_; }
  // Environment entries for the programs ("NAME=value").
  std::vector<std::string> environment() const;

  // Copies a staged file (or any file by absolute path) into the copy, as `name`, executable.
  void install(const std::string& source, const std::string& name) const;
  // Lines of Log/Zelk.log without their time stamps (empty when there is no log).
  std::vector<std::string> logLines() const;
  // True while a program listens for later starts in the runtime folder.
  bool instanceListening() const;

 private:
  std::string folder_;
  std::string runtime_;
  std::string home_;
};

// Polls `condition` every 20 ms until it holds or `timeoutMs` have passed; another process is
// being waited for, so this is real time.
bool WaitUntil(int timeoutMs, const std::function<bool()>& condition);

}  // namespace core_testing
