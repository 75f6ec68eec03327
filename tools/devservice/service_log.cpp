#include "devservice/service_log.h"

#include <cstdio>
#include <ctime>
#include <fstream>

namespace devservice {

namespace {

std::string TimeStamp() {
  const std::time_t now = std::time(nullptr);
  std::tm local{};
  localtime_r(&now, &local);
  char text[32];
  std::strftime(text, sizeof text, "%Y-%m-%d %H:%M:%S", &local);
  return text;
}

constexpr std::size_t kKeptLines = 2000;

}  // namespace

ServiceLog::ServiceLog(std::string filePath, bool echo)
    : filePath_(std::move(filePath)), echo_(echo) {}

void ServiceLog::write(std::string_view line) {
  const std::string stamped = TimeStamp() + " " + std::string(line);
  std::lock_guard lock(mutex_);
  lines_.emplace_back(line);
  if (lines_.size() > kKeptLines) lines_.erase(lines_.begin());
  if (echo_) {
    std::fprintf(stderr, "%s\n", stamped.c_str());
    std::fflush(stderr);
  }
  if (!filePath_.empty()) {
    std::ofstream file(filePath_, std::ios::app | std::ios::binary);
    file << stamped << '\n';
  }
}

std::vector<std::string> ServiceLog::lines() const {
  std::lock_guard lock(mutex_);
  return lines_;
}

}  // namespace devservice
