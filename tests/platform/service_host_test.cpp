#include "platform/service_host.h"

#include <gtest/gtest.h>

#include <cstdlib>

namespace platform {
namespace {

TEST(ServiceHost, ThePortIsAddedOnlyWhenNoneIsNamed) {
  EXPECT_EQ(WithDefaultPort("127.0.0.1", 8096), "127.0.0.1:8096");
  EXPECT_EQ(WithDefaultPort("service.example", 8096), "service.example:8096");
  EXPECT_EQ(WithDefaultPort("127.0.0.1:9000", 8096), "127.0.0.1:9000");
  EXPECT_EQ(WithDefaultPort("::1", 8096), "[::1]:8096");
  EXPECT_EQ(WithDefaultPort("[::1]", 8096), "[::1]:8096");
  EXPECT_EQ(WithDefaultPort("[::1]:81", 8096), "[::1]:81");
  EXPECT_EQ(WithDefaultPort("", 8096), "");
}

TEST(ServiceHost, HostAndPortAreSplitAndBadPortsRefused) {
  std::string host;
  int port = 0;
  ASSERT_TRUE(SplitHostAndPort("127.0.0.1:9000", 8096, host, port));
  EXPECT_EQ(host, "127.0.0.1");
  EXPECT_EQ(port, 9000);
  ASSERT_TRUE(SplitHostAndPort("localhost", 8096, host, port));
  EXPECT_EQ(host, "localhost");
  EXPECT_EQ(port, 8096);
  ASSERT_TRUE(SplitHostAndPort("[::1]:81", 8096, host, port));
  EXPECT_EQ(host, "::1");
  EXPECT_EQ(port, 81);
  ASSERT_TRUE(SplitHostAndPort("fe80::1", 8096, host, port));
  EXPECT_EQ(host, "fe80::1");
  EXPECT_EQ(port, 8096);
  EXPECT_FALSE(SplitHostAndPort("host:0", 8096, host, port));
  EXPECT_FALSE(SplitHostAndPort("host:65536", 8096, host, port));
  EXPECT_FALSE(SplitHostAndPort("host:8x", 8096, host, port));
  EXPECT_FALSE(SplitHostAndPort(":80", 8096, host, port));
  EXPECT_FALSE(SplitHostAndPort("", 8096, host, port));
  EXPECT_FALSE(SplitHostAndPort("[::1", 8096, host, port));
}

TEST(ServiceHost, TheEnvironmentOverridesTheBuildDefault) {
  unsetenv("ZELK_SERVICE_HOST");
  const std::string builtIn = ServiceHost();
  EXPECT_FALSE(builtIn.empty());
  setenv("ZELK_SERVICE_HOST", "10.1.2.3:1234", 1);
  EXPECT_EQ(ServiceHost(), "10.1.2.3:1234");
  EXPECT_EQ(ServiceHostAndPort(), "10.1.2.3:1234");
  setenv("ZELK_SERVICE_HOST", "10.1.2.3", 1);
  EXPECT_EQ(ServiceHostAndPort(), "10.1.2.3:8096");
  setenv("ZELK_SERVICE_HOST", "", 1);
  EXPECT_EQ(ServiceHost(), builtIn);
  unsetenv("ZELK_SERVICE_HOST");
}

}  // namespace
}  // namespace platform
