#pragma once

#include <gtest/gtest.h>
#include <httplib.h>
#include <json/json.h>

#include <memory>
#include <string>

#include "support/temp_dir.h"
#include "ui/client_process.h"

namespace ui_testing {

// A test of the real program against the development service of its own: clients run on the
// test's folder (a later client finds the earlier one's settings), and the service's test
// switches and counters are a GET away.
class ServiceClientTest : public ::testing::Test {
 protected:
  void SetUp() override { ASSERT_TRUE(service_.Start()); }

  std::unique_ptr<ClientProcess> StartClient() {
    auto client = std::make_unique<ClientProcess>(dir_.path(), service_.host());
    EXPECT_TRUE(client->Start());
    return client;
  }
  // The JSON answer of a path of the service (its switches and counters under "_dev/").
  Json::Value Get(const std::string& pathAndQuery) {
    httplib::Client http("127.0.0.1", service_.port());
    const auto reply = http.Get(("/" + pathAndQuery).c_str());
    Json::Value value;
    if (reply) Json::Reader().parse(reply->body, value);
    return value;
  }
  static void Idle(ClientProcess& client) {
    ASSERT_TRUE(client.automation().Call("wait_idle", {{"timeout_ms", 30000}})["idle"].asBool());
  }

  testing_support::TempDir dir_;
  DevService service_{ZELK_DEVSERVICE_PATH, dir_.file("service")};
};

}  // namespace ui_testing
