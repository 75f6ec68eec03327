#pragma once

#include <gtest/gtest.h>
#include <httplib.h>
#include <json/value.h>

#include <memory>
#include <string>
#include <vector>

#include "devservice/dev_service.h"
#include "platform/clock.h"
#include "support/temp_dir.h"

namespace devservice {

// A real service on a loopback port chosen by the system, with the shipped sample data, a
// fresh state folder and a manual clock, and an HTTP client that talks to it.
class ServiceFixture : public ::testing::Test {
 protected:
  static constexpr std::int64_t kStartMs = 1'790'000'000'000;
  static constexpr std::int64_t kSignLifetimeSeconds = 600;

  void SetUp() override;
  void TearDown() override;

  // Stops the service and starts a new one on the same state folder.
  void restart();

  httplib::Result get(const std::string& pathAndQuery);
  // GET that must answer a JSON object; fails the test otherwise.
  Json::Value getJson(const std::string& pathAndQuery);
  Json::Value postJson(const std::string& pathAndQuery, const std::string& body,
                       const std::string& contentType = "application/x-www-form-urlencoded");

  // The service's sealed form of a value, as the client's EncryptStr makes it.
  static std::string Seal(const std::string& plain);
  // {"result":1,…} of a login with the demo account or another.
  Json::Value login(const std::string& loginId = "13800000000",
                    const std::string& password = "123456");

  ServiceOptions options() const;

  testing_support::TempDir stateDir_;
  platform::ManualClock clock_{kStartMs};
  std::unique_ptr<DevService> service_;
  std::unique_ptr<httplib::Client> client_;
};

// Parses a JSON object; nullopt-like empty value when the text is not one.
Json::Value ParseJsonObject(const std::string& text);

// The http and https addresses in a text whose host is not this machine's loopback: a page
// that a web view shows must not send it anywhere else.
std::vector<std::string> AddressesOffLoopback(const std::string& text);

}  // namespace devservice
