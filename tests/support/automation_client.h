#pragma once

#include <json/json.h>

#include <initializer_list>
#include <string>
#include <utility>

namespace testing_support {

// One connection to a program's automation socket: a JSON request per line, a JSON answer per
// line.
class AutomationClient {
 public:
  AutomationClient() = default;
  ~AutomationClient();
  AutomationClient(const AutomationClient&) = delete;
  AutomationClient& operator=(const AutomationClient&) = delete;

  // Connects and answers a ping, waiting (real time, bounded) for the program to listen.
  bool Connect(const std::string& path, int timeoutMs);
  // One attempt to connect; true when connected.
  bool TryConnect(const std::string& path);
  // The answer, or null when the connection failed or no answer came for two minutes.
  Json::Value Call(const std::string& cmd,
                   std::initializer_list<std::pair<const char*, Json::Value>> fields = {});

 private:
  int fd_ = -1;
};

}  // namespace testing_support
