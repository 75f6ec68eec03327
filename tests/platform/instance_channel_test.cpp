#include "platform/instance_channel.h"

#include <gtest/gtest.h>
#include <sys/socket.h>
#include <sys/stat.h>
#include <sys/un.h>
#include <sys/wait.h>
#include <unistd.h>

#include <condition_variable>
#include <cstdlib>
#include <cstring>
#include <future>
#include <mutex>
#include <vector>

#include "support/temp_dir.h"

namespace platform {
namespace {

struct Received {
  std::uint32_t message;
  std::string text;
};

// Each test gets its own runtime folder, as parallel test runs do.
class InstanceChannel : public ::testing::Test {
 protected:
  void SetUp() override {
    const char* old = std::getenv("XDG_RUNTIME_DIR");
    if (old != nullptr) saved_ = old;
    hadOld_ = old != nullptr;
    setenv("XDG_RUNTIME_DIR", dir_.file("run").c_str(), 1);
  }
  void TearDown() override {
    if (hadOld_)
      setenv("XDG_RUNTIME_DIR", saved_.c_str(), 1);
    else
      unsetenv("XDG_RUNTIME_DIR");
  }

  InstanceListener::Handler recorder() {
    return [this](std::uint32_t message, std::string text,
                  std::unique_ptr<InstanceListener::Receipt>) {
      std::lock_guard lock(mutex_);
      received_.push_back({message, std::move(text)});
    };
  }
  std::vector<Received> received() {
    std::lock_guard lock(mutex_);
    return received_;
  }

  testing_support::TempDir dir_;

 private:
  std::string saved_;
  bool hadOld_ = false;
  std::mutex mutex_;
  std::vector<Received> received_;
};

// A socket file at the path that nobody listens on, as a crashed instance leaves it.
void leaveStaleSocket(const std::string& path) {
  const int fd = socket(AF_UNIX, SOCK_STREAM, 0);
  sockaddr_un address{};
  address.sun_family = AF_UNIX;
  std::strcpy(address.sun_path, path.c_str());
  ASSERT_EQ(bind(fd, reinterpret_cast<sockaddr*>(&address), sizeof address), 0);
  close(fd);
}

TEST_F(InstanceChannel, AMessageReachesTheListenerBeforeTheSenderIsAnswered) {
  auto listener = InstanceListener::start("Zelk", recorder());
  ASSERT_NE(listener, nullptr);
  ASSERT_TRUE(SendInstanceMessage("Zelk", 0x463, "Zelk://download/a=1"));
  ASSERT_TRUE(SendInstanceMessage("Zelk", 7, ""));
  const auto got = received();
  ASSERT_EQ(got.size(), 2u);
  EXPECT_EQ(got[0].message, 0x463u);
  EXPECT_EQ(got[0].text, "Zelk://download/a=1");
  EXPECT_EQ(got[1].message, 7u);
  EXPECT_EQ(got[1].text, "");
  EXPECT_FALSE(SendInstanceMessage("ZelkUpdater", 1, "x")) << "each program has its own channel";
}

TEST_F(InstanceChannel, TheSenderIsAnsweredWhenItsReceiptEndsAndOthersAreServedMeanwhile) {
  std::mutex mutex;
  std::condition_variable arrived;
  std::vector<std::unique_ptr<InstanceListener::Receipt>> held;
  auto listener = InstanceListener::start(
      "Zelk",
      [&](std::uint32_t message, std::string, std::unique_ptr<InstanceListener::Receipt> receipt) {
        if (message != 1) return;  // dropped: answered at once
        std::lock_guard lock(mutex);
        held.push_back(std::move(receipt));
        arrived.notify_all();
      });
  ASSERT_NE(listener, nullptr);
  const auto waitForHeld = [&](std::size_t count) {
    std::unique_lock lock(mutex);
    arrived.wait(lock, [&] { return held.size() == count; });
  };
  auto taken = std::async(std::launch::async, [] { return SendInstanceMessage("Zelk", 1, "a"); });
  waitForHeld(1);
  auto refused = std::async(std::launch::async, [] { return SendInstanceMessage("Zelk", 1, "b"); });
  waitForHeld(2);
  // Both senders wait for their receipts, and the listener still serves a third.
  EXPECT_TRUE(SendInstanceMessage("Zelk", 2, "meanwhile"));
  EXPECT_EQ(taken.wait_for(std::chrono::seconds(0)), std::future_status::timeout);
  EXPECT_EQ(refused.wait_for(std::chrono::seconds(0)), std::future_status::timeout);
  {
    std::lock_guard lock(mutex);
    held[1]->Refuse();
    held.clear();
  }
  EXPECT_TRUE(taken.get());
  EXPECT_FALSE(refused.get());
}

TEST_F(InstanceChannel, TheSocketIsPrivateToTheUserAndGoneWithItsListener) {
  const std::string path = InstanceSocketPath("Zelk");
  EXPECT_EQ(path.rfind(dir_.file("run") + "/", 0), 0u);
  {
    auto listener = InstanceListener::start("Zelk", recorder());
    ASSERT_NE(listener, nullptr);
    struct stat info {};
    ASSERT_EQ(lstat(path.c_str(), &info), 0);
    EXPECT_TRUE(S_ISSOCK(info.st_mode));
    EXPECT_EQ(info.st_mode & 0777, 0600u);
    struct stat folder {};
    ASSERT_EQ(stat(dir_.file("run").c_str(), &folder), 0);
    EXPECT_EQ(folder.st_mode & 0777, 0700u);
  }
  struct stat info {};
  EXPECT_NE(lstat(path.c_str(), &info), 0);
  EXPECT_FALSE(SendInstanceMessage("Zelk", 1, "nobody listens"));
}

TEST_F(InstanceChannel, ALiveListenerKeepsItsSocketAndAStaleOneIsReplaced) {
  auto first = InstanceListener::start("Zelk", recorder());
  ASSERT_NE(first, nullptr);
  EXPECT_EQ(InstanceListener::start("Zelk", recorder()), nullptr);
  ASSERT_TRUE(SendInstanceMessage("Zelk", 1, "still the first"));
  first.reset();

  leaveStaleSocket(InstanceSocketPath("Zelk"));
  EXPECT_FALSE(SendInstanceMessage("Zelk", 2, "refused"));
  auto second = InstanceListener::start("Zelk", recorder());
  ASSERT_NE(second, nullptr);
  ASSERT_TRUE(SendInstanceMessage("Zelk", 3, "to the second"));
  const auto got = received();
  ASSERT_EQ(got.size(), 2u);
  EXPECT_EQ(got[1].text, "to the second");
}

TEST_F(InstanceChannel, OversizedAndMalformedFramesAreRefusedAndTheListenerGoesOn) {
  auto listener = InstanceListener::start("Zelk", recorder());
  ASSERT_NE(listener, nullptr);
  EXPECT_FALSE(SendInstanceMessage("Zelk", 1, std::string((1u << 20) + 1, 'x')));

  // A peer that announces 2 MiB and sends a little: no answer, nothing delivered.
  const int fd = socket(AF_UNIX, SOCK_STREAM, 0);
  sockaddr_un address{};
  address.sun_family = AF_UNIX;
  std::strcpy(address.sun_path, InstanceSocketPath("Zelk").c_str());
  ASSERT_EQ(connect(fd, reinterpret_cast<sockaddr*>(&address), sizeof address), 0);
  const unsigned char header[8] = {1, 0, 0, 0, 0, 0, 0x20, 0};
  ASSERT_EQ(write(fd, header, sizeof header), 8);
  char answer = 0;
  EXPECT_EQ(read(fd, &answer, 1), 0) << "the listener closes without accepting";
  close(fd);

  ASSERT_TRUE(SendInstanceMessage("Zelk", 5, "after the bad peer"));
  const auto got = received();
  ASSERT_EQ(got.size(), 1u);
  EXPECT_EQ(got[0].text, "after the bad peer");
}

TEST_F(InstanceChannel, APeerOfAnotherUserIsRejectedEvenWhenTheSocketIsOpenToIt) {
  if (getuid() != 0) GTEST_SKIP() << "needs root to act as another user";
  auto listener = InstanceListener::start("Zelk", recorder());
  ASSERT_NE(listener, nullptr);
  const std::string path = InstanceSocketPath("Zelk");
  ASSERT_EQ(chmod(dir_.file("run").c_str(), 0755), 0);
  ASSERT_EQ(chmod(dir_.path().c_str(), 0755), 0);
  ASSERT_EQ(chmod(path.c_str(), 0666), 0);

  sockaddr_un address{};
  address.sun_family = AF_UNIX;
  std::strcpy(address.sun_path, path.c_str());
  const unsigned char frame[] = {1, 0, 0, 0, 2, 0, 0, 0, 'h', 'i'};
  const pid_t child = fork();
  ASSERT_GE(child, 0);
  if (child == 0) {
    // Only system calls from here: the parent has other threads.
    if (setgid(65534) != 0 || setuid(65534) != 0) _exit(2);
    const int fd = socket(AF_UNIX, SOCK_STREAM, 0);
    if (connect(fd, reinterpret_cast<sockaddr*>(&address), sizeof address) != 0) _exit(3);
    // The listener may already have closed its end: no SIGPIPE for writing to it.
    if (send(fd, frame, sizeof frame, MSG_NOSIGNAL) != static_cast<ssize_t>(sizeof frame)) _exit(0);
    char answer = 0;
    _exit(read(fd, &answer, 1) == 1 ? 1 : 0);
  }
  int status = 0;
  ASSERT_EQ(waitpid(child, &status, 0), child);
  ASSERT_TRUE(WIFEXITED(status));
  EXPECT_EQ(WEXITSTATUS(status), 0) << "the foreign peer connected but was not answered";
  ASSERT_TRUE(SendInstanceMessage("Zelk", 9, "own user"));
  const auto got = received();
  ASSERT_EQ(got.size(), 1u);
  EXPECT_EQ(got[0].message, 9u);
}

TEST_F(InstanceChannel, WithoutARuntimeFolderAPrivateFolderUnderTmpIsUsed) {
  unsetenv("XDG_RUNTIME_DIR");
  const std::string folder = UserRuntimeDirectory();
  EXPECT_EQ(folder, "/tmp/zelk-runtime-" + std::to_string(getuid()));
  struct stat info {};
  ASSERT_EQ(lstat(folder.c_str(), &info), 0);
  EXPECT_TRUE(S_ISDIR(info.st_mode));
  EXPECT_EQ(info.st_mode & 077, 0u);
  EXPECT_EQ(info.st_uid, getuid());
}

}  // namespace
}  // namespace platform
