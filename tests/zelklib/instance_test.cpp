#include <fcntl.h>
#include <gtest/gtest.h>
#include <sys/mman.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cstdlib>
#include <filesystem>

#include "platform/instance_channel.h"
#include "support/temp_dir.h"
#include "zelklib/running_instance.h"
#include "zelklib/shared_text.h"

namespace zelklib {
namespace {

// Each test has its own runtime folder, hence its own shared objects; they are removed after.
class SharedTexts : public ::testing::Test {
 protected:
  void SetUp() override {
    const char* old = std::getenv("XDG_RUNTIME_DIR");
    if (old != nullptr) saved_ = old;
    setenv("XDG_RUNTIME_DIR", dir_.file("run").c_str(), 1);
    name_ = SharedTextName(SharedTextKind::UrlProtocol);
  }
  void TearDown() override {
    RemoveSharedText(name_);
    RemoveSharedText(SharedTextName(SharedTextKind::Interface));
    if (saved_)
      setenv("XDG_RUNTIME_DIR", saved_->c_str(), 1);
    else
      unsetenv("XDG_RUNTIME_DIR");
  }

  testing_support::TempDir dir_;
  std::string name_;
  std::optional<std::string> saved_;
};

TEST_F(SharedTexts, ATextWrittenByOneProcessIsReadByAnother) {
  EXPECT_EQ(ReadSharedText(name_), std::nullopt);
  const pid_t child = fork();
  ASSERT_GE(child, 0);
  if (child == 0) _exit(WriteSharedText(name_, u"Zelk://download/a=1&t=中文") ? 0 : 1);
  int status = 0;
  ASSERT_EQ(waitpid(child, &status, 0), child);
  ASSERT_EQ(WEXITSTATUS(status), 0);
  EXPECT_EQ(ReadSharedText(name_), u"Zelk://download/a=1&t=中文");
  ASSERT_TRUE(WriteSharedText(name_, u"short"));
  EXPECT_EQ(ReadSharedText(name_), u"short") << "a shorter text replaces a longer one whole";

  struct stat info {};
  const int fd = shm_open(name_.c_str(), O_RDONLY, 0);
  ASSERT_GE(fd, 0);
  ASSERT_EQ(fstat(fd, &info), 0);
  close(fd);
  EXPECT_EQ(info.st_mode & 0777, 0600u);
}

TEST_F(SharedTexts, AMegabyteRequestIsRefusedAndTheOldOneCleared) {
  ASSERT_TRUE(WriteSharedText(name_, u"Zelk://download/old"));
  const std::u16string huge(1 << 20, u'x');
  EXPECT_FALSE(WriteSharedText(name_, huge));
  EXPECT_EQ(ReadSharedText(name_), u"") << "no stale request survives";
  const std::u16string largest(kSharedTextMaxUnits, u'y');
  ASSERT_TRUE(WriteSharedText(name_, largest));
  EXPECT_EQ(ReadSharedText(name_), largest);
}

TEST_F(SharedTexts, SessionsAndKindsHaveTheirOwnObjects) {
  const std::string interface = SharedTextName(SharedTextKind::Interface);
  EXPECT_NE(interface, name_);
  EXPECT_NE(name_.find("-" + std::to_string(getuid()) + "-"), std::string::npos);
  setenv("XDG_RUNTIME_DIR", dir_.file("other-run").c_str(), 1);
  const std::string otherSession = SharedTextName(SharedTextKind::UrlProtocol);
  setenv("XDG_RUNTIME_DIR", dir_.file("run").c_str(), 1);
  EXPECT_NE(otherSession, name_);
  EXPECT_EQ(otherSession.find('/', 1), std::string::npos) << "one component, as shm_open wants";
}

TEST_F(SharedTexts, AnObjectOthersCanReadIsNotUsed) {
  const int fd = shm_open(name_.c_str(), O_RDWR | O_CREAT, 0600);
  ASSERT_GE(fd, 0);
  ASSERT_EQ(fchmod(fd, 0644), 0);
  close(fd);
  EXPECT_FALSE(WriteSharedText(name_, u"secret request"));
  EXPECT_EQ(ReadSharedText(name_), std::nullopt);
}

TEST_F(SharedTexts, TheRunningClientsObjectsGoWithIt) {
  const std::string interface = SharedTextName(SharedTextKind::Interface);
  ASSERT_TRUE(WriteSharedText(name_, u"left by a second start"));
  const pid_t child = fork();
  ASSERT_GE(child, 0);
  if (child == 0) {
    const bool written = WriteSharedText(interface, u"127.0.0.1");
    RemoveSharedTextAtExit(interface);
    RemoveSharedTextAtExit(name_);
    std::exit(written ? 0 : 1);  // a normal end, with the library's clean-up
  }
  int status = 0;
  ASSERT_EQ(waitpid(child, &status, 0), child);
  ASSERT_EQ(WEXITSTATUS(status), 0);
  EXPECT_EQ(ReadSharedText(interface), std::nullopt);
  EXPECT_EQ(ReadSharedText(name_), std::nullopt);
}

TEST(RunningInstance, TheWindowsNameOfAProgramIsAcceptedToo) {
  EXPECT_EQ(ProgramFileNameCandidates("Zelk.exe"), (std::vector<std::string>{"Zelk.exe", "Zelk"}));
  EXPECT_EQ(ProgramFileNameCandidates("ZelkUpdater"), (std::vector<std::string>{"ZelkUpdater"}));
  EXPECT_TRUE(ProgramFileNameCandidates("../Zelk").empty());
  EXPECT_TRUE(ProgramFileNameCandidates("").empty());
}

TEST_F(SharedTexts, AMessageReachesTheListenerOfTheRunningInstance) {
  std::uint32_t got = 0;
  auto listener = platform::InstanceListener::start(
      "Zelk", [&](std::uint32_t message, std::string,
                  std::unique_ptr<platform::InstanceListener::Receipt>) { got = message; });
  ASSERT_NE(listener, nullptr);
  EXPECT_TRUE(SendToRunningInstance("Zelk.exe", 0x463, ""));
  EXPECT_EQ(got, 0x463u);
  EXPECT_FALSE(SendToRunningInstance("ZelkUpdater.exe", 0x463, ""));
  EXPECT_FALSE(IsInstanceRunning("zelk-no-such-program.exe"));
}

}  // namespace
}  // namespace zelklib
