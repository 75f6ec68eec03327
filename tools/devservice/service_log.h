#pragma once

#include <mutex>
#include <string>
#include <string_view>
#include <vector>

namespace devservice {

// The service's log: one line per event, to standard error and appended to devservice.log in
// the state folder (SMS codes are read from there). Safe to call from every request thread.
class ServiceLog {
 public:
  // An empty file path logs to standard error only; echo false keeps standard error quiet.
  explicit ServiceLog(std::string filePath, bool echo = true);

  void write(std::string_view line);
  // The latest lines written by this object, oldest first (tests read SMS codes from them).
  std::vector<std::string> lines() const;
  const std::string& filePath() const { return filePath_; }

 private:
  const std::string filePath_;
  const bool echo_;
  mutable std::mutex mutex_;
  std::vector<std::string> lines_;
};

}  // namespace devservice
