#include "staged_app.h"

#include <sys/stat.h>

#include <chrono>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <thread>

#include "platform/dynamic_library.h"

namespace core_testing {

namespace fs = std::filesystem;

std::string StagedApp::SourceFolder() {
  const char* fromEnvironment = std::getenv("ZELK_APP_DIR");
  return fromEnvironment != nullptr && *fromEnvironment != '\0' ? fromEnvironment
                                                                : ZELK_STAGED_APP_DIR;
}

bool StagedApp::LibraryBuilt() {
  return fs::is_regular_file(SourceFolder() + "/" + platform::SharedLibraryFileName("ZelkLib"));
}

StagedApp::StagedApp(const std::string& root)
    : folder_(root + "/app"), runtime_(root + "/run"), home_(root + "/home") {
  fs::create_directories(folder_);
  fs::create_directories(runtime_);
  fs::permissions(runtime_, fs::perms::owner_all);
  fs::create_directories(home_);
  for (const char* name : {"ZelkLib", "ZelkWeb"}) {
    const std::string library = platform::SharedLibraryFileName(name);
    if (fs::is_regular_file(SourceFolder() + "/" + library)) install(library, library);
  }
}

std::vector<std::string> StagedApp::environment() const {
  return {"XDG_RUNTIME_DIR=" + runtime_, "HOME=" + home_, "XDG_DATA_HOME=" + home_ + "/data",
          "XDG_CONFIG_HOME=" + home_ + "/config", "XDG_CACHE_HOME=" + home_ + "/cache",
          // Nothing listens on port 1: a service request fails at once.
          "ZELK_SERVICE_HOST=127.0.0.1:1", "ZELK_HEADLESS=1", "ZELK_SHELL_OPEN=run"};
}

void StagedApp::install(const std::string& source, const std::string& name) const {
  const std::string from = source.starts_with("/") ? source : SourceFolder() + "/" + source;
  fs::copy_file(from, file(name), fs::copy_options::overwrite_existing);
  fs::permissions(file(name), fs::perms::owner_all | fs::perms::group_read | fs::perms::group_exec);
}

std::vector<std::string> StagedApp::logLines() const {
  std::vector<std::string> lines;
  std::ifstream in(file("Log/Zelk.log"));
  std::string line;
  // "YYYY-MM-DD HH:MM:SS.mmm " precedes each text.
  constexpr std::size_t kStampLength = 24;
  while (std::getline(in, line))
    lines.push_back(line.size() >= kStampLength ? line.substr(kStampLength) : line);
  return lines;
}

bool StagedApp::instanceListening() const {
  std::error_code error;
  for (const auto& entry : fs::directory_iterator(runtime_, error)) {
    if (entry.is_socket()) return true;
  }
  return false;
}

bool WaitUntil(int timeoutMs, const std::function<bool()>& condition) {
  const auto deadline = std::chrono::steady_clock::now() + std::chrono::milliseconds(timeoutMs);
  while (!condition()) {
    if (std::chrono::steady_clock::now() >= deadline) return false;
    std::this_thread::sleep_for(std::chrono::milliseconds(20));
  }
  return true;
}

}  // namespace core_testing
