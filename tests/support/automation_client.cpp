#include "support/automation_client.h"

#include <sys/socket.h>
#include <sys/time.h>
#include <sys/un.h>
#include <unistd.h>

#include <chrono>
#include <cstring>
#include <memory>
#include <thread>

namespace testing_support {

namespace {
constexpr time_t kAnswerBoundSeconds = 120;
}  // namespace

AutomationClient::~AutomationClient() {
  if (fd_ >= 0) ::close(fd_);
}

bool AutomationClient::TryConnect(const std::string& path) {
  if (fd_ >= 0) ::close(fd_);
  fd_ = ::socket(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC, 0);
  sockaddr_un address{};
  address.sun_family = AF_UNIX;
  std::strncpy(address.sun_path, path.c_str(), sizeof address.sun_path - 1);
  if (::connect(fd_, reinterpret_cast<sockaddr*>(&address), sizeof address) == 0) {
    // A program that never answers fails the request (null) instead of hanging the test run;
    // the bound is far above any request's own time-out.
    const timeval bound{kAnswerBoundSeconds, 0};
    ::setsockopt(fd_, SOL_SOCKET, SO_RCVTIMEO, &bound, sizeof bound);
    return true;
  }
  ::close(fd_);
  fd_ = -1;
  return false;
}

bool AutomationClient::Connect(const std::string& path, int timeoutMs) {
  const auto deadline = std::chrono::steady_clock::now() + std::chrono::milliseconds(timeoutMs);
  while (std::chrono::steady_clock::now() < deadline) {
    if (TryConnect(path) && Call("ping")["ok"].asBool()) return true;
    std::this_thread::sleep_for(std::chrono::milliseconds(20));
  }
  return false;
}

Json::Value AutomationClient::Call(
    const std::string& cmd, std::initializer_list<std::pair<const char*, Json::Value>> fields) {
  if (fd_ < 0) return {};
  Json::Value request;
  request["cmd"] = cmd;
  for (const auto& [key, value] : fields) request[key] = value;
  Json::StreamWriterBuilder writer;
  writer["indentation"] = "";
  const std::string line = Json::writeString(writer, request) + "\n";
  if (::send(fd_, line.data(), line.size(), MSG_NOSIGNAL) != static_cast<ssize_t>(line.size())) {
    return {};
  }
  std::string reply;
  char c;
  while (::recv(fd_, &c, 1, 0) == 1 && c != '\n') reply += c;
  Json::Value value;
  Json::CharReaderBuilder builder;
  const std::unique_ptr<Json::CharReader> reader(builder.newCharReader());
  std::string error;
  reader->parse(reply.data(), reply.data() + reply.size(), &value, &error);
  return value;
}

}  // namespace testing_support
