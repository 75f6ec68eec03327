#include <gtest/gtest.h>
#include <sys/stat.h>

#include <filesystem>

#include "devservice/catalogue.h"
#include "devservice/options.h"
#include "devservice/password_hash.h"
#include "devservice/service_log.h"
#include "devservice/state_store.h"
#include "platform/paths.h"
#include "support/temp_dir.h"

namespace devservice {
namespace {

class StateStoreTest : public ::testing::Test {
 protected:
  std::unique_ptr<StateStore> open() {
    return std::make_unique<StateStore>(dir_.path() + "/state", catalogue_, clock_, log_);
  }
  std::string stateFile() const { return dir_.path() + "/state/state.json"; }

  testing_support::TempDir dir_;
  const Catalogue catalogue_ = Catalogue::Load(DefaultDataDir());
  platform::ManualClock clock_{1'790'000'000'000};
  ServiceLog log_{"", /*echo=*/false};
};

TEST_F(StateStoreTest, ANewFolderGetsTheDemoAccountsWithHashedPasswordsInAPrivateFile) {
  const auto state = open();
  const auto demo = state->accountByLoginId("13800000000");
  ASSERT_TRUE(demo);
  EXPECT_EQ(demo->uid, 10001);
  EXPECT_TRUE(VerifyPassword(demo->passwordHash, "123456"));
  EXPECT_FALSE(VerifyPassword(demo->passwordHash, "1234567"));
  EXPECT_EQ(state->unreadCount(10001), 3);
  EXPECT_FALSE(state->accountByLoginId("13800000001")->canDownload);
  struct stat info {};
  ASSERT_EQ(stat(stateFile().c_str(), &info), 0);
  EXPECT_EQ(info.st_mode & 0777, 0600u);
}

TEST_F(StateStoreTest, SignsLiveTheirLifetimeAndSurviveAReopen) {
  auto state = open();
  const std::string sign = state->issueSign(10001, 60'000);
  std::int32_t uid = 0;
  EXPECT_EQ(state->checkSign(sign, &uid), SignStatus::kValid);
  EXPECT_EQ(uid, 10001);
  EXPECT_EQ(state->checkSign("unknown"), SignStatus::kUnknown);
  state.reset();
  state = open();
  EXPECT_EQ(state->checkSign(sign), SignStatus::kValid);
  clock_.advance(60'000);
  EXPECT_EQ(state->checkSign(sign), SignStatus::kExpired);
  EXPECT_EQ(state->liveSignCount(), 0);
  const std::string other = state->issueSign(10002, 60'000);
  EXPECT_EQ(state->checkSign(sign), SignStatus::kUnknown)
      << "expired signs are dropped on the next issue";
  EXPECT_EQ(state->expireSigns(10001), 0);
  EXPECT_EQ(state->expireSigns(std::nullopt), 1);
  EXPECT_EQ(state->checkSign(other), SignStatus::kExpired);
}

TEST_F(StateStoreTest, SmsCodesExpireAfterFiveMinutes) {
  const auto state = open();
  state->storeSmsCode("13912345678", "042042");
  clock_.advance(StateStore::kSmsCodeLifetimeMs - 1);
  ASSERT_TRUE(state->smsCode("13912345678"));
  EXPECT_EQ(state->smsCode("13912345678")->first, "042042");
  clock_.advance(1);
  EXPECT_FALSE(state->smsCode("13912345678"));
}

TEST_F(StateStoreTest, AnUnreadableStateFileIsKeptAsideAndAFreshStateStarts) {
  std::filesystem::create_directories(dir_.path() + "/state");
  ASSERT_TRUE(platform::WriteFileAtomically(stateFile(), "{\"accounts\":[{\"uid\":\"x\"}]}"));
  const auto state = open();
  EXPECT_TRUE(state->accountByLoginId("13800000000"));
  std::string aside;
  ASSERT_TRUE(platform::ReadWholeFile(stateFile() + ".bad", aside));
  EXPECT_EQ(aside, "{\"accounts\":[{\"uid\":\"x\"}]}");
  ASSERT_FALSE(log_.lines().empty());
  EXPECT_NE(log_.lines().front().find("state.json.bad"), std::string::npos);
}

TEST_F(StateStoreTest, AccountsMessagesAndCountersPersist) {
  auto state = open();
  const Account created = state->createAccount("a@b.cn", HashPassword("secret88"), "小李",
                                               "avatar_02.png", catalogue_.welcomeMessages());
  EXPECT_EQ(created.uid, 10003);
  state->markMessagesRead(10001);
  state->addDownloadReport(10001, "1005");
  state->recordClientStart();
  state->recordBehavior(std::string(300, 'x') + "规", 2);
  state.reset();
  state = open();
  EXPECT_EQ(state->accountByUid(10003)->loginId, "a@b.cn");
  EXPECT_EQ(state->unreadCount(10003), 1);
  EXPECT_EQ(state->unreadCount(10001), 0);
  EXPECT_EQ(state->downloadReportCount(10001), 1);
  EXPECT_EQ(state->clientStarts(), 1);
  EXPECT_EQ(state->createAccount("c@d.cn", "h", "n", "avatar_01.png", {}).uid, 10004);
}

TEST_F(StateStoreTest, AFolderThatCannotBeMadeIsAnError) {
  ASSERT_TRUE(platform::WriteFileAtomically(dir_.path() + "/file", "x"));
  EXPECT_THROW(StateStore(dir_.path() + "/file/state", catalogue_, clock_, log_),
               std::runtime_error);
}

}  // namespace
}  // namespace devservice
