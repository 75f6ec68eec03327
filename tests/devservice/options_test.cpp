#include <gtest/gtest.h>

#include "devservice/options.h"

namespace devservice {
namespace {

TEST(Options, DefaultsServeLoopbackPort8096FromTheCommittedDataAndTheUsersCache) {
  const ParsedOptions parsed = ParseOptions({});
  ASSERT_TRUE(parsed.error.empty());
  EXPECT_FALSE(parsed.showHelp);
  EXPECT_EQ(parsed.options.http, (HostPort{"127.0.0.1", 8096}));
  EXPECT_FALSE(parsed.options.files.has_value());
  EXPECT_EQ(parsed.options.dataDir, DefaultDataDir());
  EXPECT_TRUE(parsed.options.dataDir.ends_with("tools/devservice/data"));
  EXPECT_TRUE(parsed.options.stateDir.ends_with("zelk-devservice"));
  EXPECT_EQ(parsed.options.keyDir, DefaultKeyDir());
}

TEST(Options, AddressesFoldersAndLifetimeAreRead) {
  const ParsedOptions parsed =
      ParseOptions({"--http", "0.0.0.0:0", "--files", "127.0.0.1:8097", "--data", "/d", "--state",
                    "/s", "--keys", "/k", "--sign-lifetime", "90"});
  ASSERT_TRUE(parsed.error.empty()) << parsed.error;
  EXPECT_EQ(parsed.options.http, (HostPort{"0.0.0.0", 0}));
  EXPECT_EQ(parsed.options.files, (HostPort{"127.0.0.1", 8097}));
  EXPECT_EQ(parsed.options.dataDir, "/d");
  EXPECT_EQ(parsed.options.stateDir, "/s");
  EXPECT_EQ(parsed.options.keyDir, "/k");
  EXPECT_EQ(parsed.options.signLifetimeSeconds, 90);
}

TEST(Options, TheFileServerIsOffUnlessAskedForAndServesTheGeneratedSamples) {
  const ParsedOptions defaults = ParseOptions({"--files", "127.0.0.1:0"});
  ASSERT_TRUE(defaults.error.empty()) << defaults.error;
  EXPECT_EQ(defaults.options.files, (HostPort{"127.0.0.1", 0}));
  EXPECT_EQ(defaults.options.filesRoot, DefaultFilesRoot());
  EXPECT_TRUE(defaults.options.filesRoot.ends_with("/devservice-files"));
  EXPECT_EQ(defaults.options.filesCodeset, "UTF-8");

  const ParsedOptions chosen =
      ParseOptions({"--files", "0.0.0.0:8097", "--files-root", "/f", "--files-codeset", "GBK"});
  ASSERT_TRUE(chosen.error.empty()) << chosen.error;
  EXPECT_EQ(chosen.options.filesRoot, "/f");
  EXPECT_EQ(chosen.options.filesCodeset, "GBK");
  EXPECT_FALSE(ParseOptions({"--files-root"}).error.empty());
}

TEST(Options, BadCommandLinesNameTheirFault) {
  const std::vector<std::vector<std::string>> bad = {
      {"--http", "127.0.0.1"},
      {"--http", ":8096"},
      {"--http", "127.0.0.1:65536"},
      {"--http", "h:-1"},
      {"--http", "h:80x"},
      {"--files", "h:"},
      {"--http"},
      {"--sign-lifetime", "0"},
      {"--sign-lifetime", "ten"},
      {"--port", "8096"},
      {"serve"},
  };
  for (const auto& arguments : bad) {
    const ParsedOptions parsed = ParseOptions(arguments);
    EXPECT_FALSE(parsed.error.empty()) << arguments.front();
  }
  EXPECT_NE(ParseOptions({"--http", "h:99999"}).error.find("h:99999"), std::string::npos);
}

TEST(Options, HelpDocumentsEveryOptionAndTheDemoAccount) {
  EXPECT_TRUE(ParseOptions({"--help"}).showHelp);
  EXPECT_TRUE(ParseOptions({"-h"}).showHelp);
  const std::string usage = UsageText();
  for (const char* text :
       {"--http HOST:PORT", "--files HOST:PORT", "--data DIR", "--state DIR", "--keys DIR",
        "--sign-lifetime", "port 0", "13800000000 / 123456", "/_dev/hijack", "files=-",
        "--files-root DIR", "--files-codeset NAME", "/_dev/files/drop", "/_dev/files/status"}) {
    EXPECT_NE(usage.find(text), std::string::npos) << text;
  }
}

}  // namespace
}  // namespace devservice
