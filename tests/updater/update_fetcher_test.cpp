#include "updater/update_fetcher.h"

#include <gtest/gtest.h>

#include <filesystem>

#include "core/update_mark.h"
#include "platform/file_version.h"
#include "scripted_zelk_lib.h"
#include "support/temp_dir.h"

namespace updater {
namespace {

using core_testing::ScriptedZelkLib;

TEST(UpdateOffer, AvailableOnlyWithResultOneHasUpdateOneAndAPackage) {
  UpdateOffer offer;
  ASSERT_TRUE(ParseUpdateOffer(
      R"({"result":1,"hasUpdate":1,"version":"3.2.0.0","url":"http://h/u.zip"})", offer));
  EXPECT_TRUE(offer.available);
  EXPECT_EQ(offer.version, "3.2.0.0");
  EXPECT_EQ(offer.packageUrl, "http://h/u.zip");

  ASSERT_TRUE(ParseUpdateOffer(R"({"result":"1","hasUpdate":"1","url":"u.zip"})", offer));
  EXPECT_TRUE(offer.available);
  ASSERT_TRUE(ParseUpdateOffer(R"({"result":1,"hasUpdate":0,"url":"u.zip"})", offer));
  EXPECT_FALSE(offer.available);
  ASSERT_TRUE(ParseUpdateOffer(R"({"result":1,"hasUpdate":1,"url":""})", offer));
  EXPECT_FALSE(offer.available);
  ASSERT_TRUE(ParseUpdateOffer(R"({"result":1,"hasUpdate":1,"url":7})", offer));
  EXPECT_FALSE(offer.available);
}

TEST(UpdateOffer, AReplyNestedTooDeepForTheParserIsNoAnswer) {
  UpdateOffer offer;
  EXPECT_FALSE(ParseUpdateOffer(std::string(5000, '[') + std::string(5000, ']'), offer));
  EXPECT_FALSE(offer.available);
}

TEST(UpdateOffer, AnythingButAnObjectWithResultOneIsNoAnswer) {
  UpdateOffer offer;
  for (const char* reply : {"", "null", "[1]", "{\"result\":0,\"hasUpdate\":1,\"url\":\"u\"}",
                            "<html>proxy login</html>", "{\"result\":1,"}) {
    EXPECT_FALSE(ParseUpdateOffer(reply, offer)) << reply;
    EXPECT_FALSE(offer.available);
  }
}

TEST(UpdateQuery, NamesTheEndpointAndTheVersion) {
  EXPECT_EQ(UpdateQueryUrl("127.0.0.1:8096", "3.1.0.0"),
            "http://127.0.0.1:8096/zelk/ClientUpdateApi.aspx?ver=3.1.0.0");
}

TEST(UpdateQuery, VersionIsTheOneEmbeddedInTheInstalledClient) {
  testing_support::TempDir dir;
  EXPECT_EQ(InstalledClientVersion(dir.path()), platform::kBuildVersionText);
  dir.write("Zelk", std::string("\x7f"
                                "ELF...ZELK_FILE_VERSION=3.0.9.1") +
                        '\0' + "rest");
  EXPECT_EQ(InstalledClientVersion(dir.path()), "3.0.9.1");
}

class UpdateFetcherTest : public ::testing::Test {
 protected:
  FetchResult fetch() { return UpdateFetcher(binding_, dir_.path(), "svc:8096").Run(); }
  bool marked() const { return core::IsUpdatePending(dir_.path()); }

  testing_support::TempDir dir_;
  ScriptedZelkLib lib_;
  core::ZelkLibBinding binding_ = lib_.binding();
};

TEST_F(UpdateFetcherTest, OfferedPackageIsFetchedIntoTheWaitingFolderAndMarked) {
  lib_.script(
      {.webReply = uR"({"result":1,"hasUpdate":1,"version":"3.2","url":"http://files/u.zip"})",
       .downloadContent = "PK package"});
  EXPECT_EQ(fetch(), FetchResult::Fetched);
  EXPECT_EQ(lib_.record().fetchedUrls,
            std::vector<std::string>{"http://svc:8096/zelk/ClientUpdateApi.aspx?ver=" +
                                     std::string(platform::kBuildVersionText)});
  EXPECT_EQ(lib_.record().downloads,
            std::vector<std::string>{"http://files/u.zip -> " + dir_.file("TempPath/update.zip")});
  EXPECT_EQ(dir_.read("TempPath/update.zip"), "PK package");
  EXPECT_TRUE(marked());
}

TEST_F(UpdateFetcherTest, RelativePackageUrlIsJoinedToTheService) {
  lib_.script({.webReply = uR"({"result":1,"hasUpdate":1,"url":"files/u.zip"})"});
  EXPECT_EQ(fetch(), FetchResult::Fetched);
  EXPECT_EQ(lib_.record().downloads, std::vector<std::string>{"http://svc:8096/files/u.zip -> " +
                                                              dir_.file("TempPath/update.zip")});
}

TEST_F(UpdateFetcherTest, NothingOfferedNothingFetched) {
  lib_.script({.webReply = uR"({"result":1,"hasUpdate":0})"});
  EXPECT_EQ(fetch(), FetchResult::NoUpdate);
  EXPECT_TRUE(lib_.record().downloads.empty());
  EXPECT_FALSE(marked());
}

TEST_F(UpdateFetcherTest, FailedQueryIsNoAnswer) {
  lib_.script({.webStatus = u"0", .webReply = uR"({"result":1,"hasUpdate":1,"url":"u"})"});
  EXPECT_EQ(fetch(), FetchResult::NoAnswer);
  EXPECT_TRUE(lib_.record().downloads.empty());
  EXPECT_FALSE(marked());
}

TEST_F(UpdateFetcherTest, FailedDownloadLeavesNoMark) {
  lib_.script({.webReply = uR"({"result":1,"hasUpdate":1,"url":"http://files/u.zip"})",
               .downloadResult = 0,
               .downloadError = u"HTTP 404 Not Found"});
  EXPECT_EQ(fetch(), FetchResult::Failed);
  EXPECT_FALSE(marked());
  EXPECT_EQ(lib_.record().log.back(), "ZelkUpdater download failed: HTTP 404 Not Found");
}

}  // namespace
}  // namespace updater
