#include <gtest/gtest.h>
#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <filesystem>
#include <random>
#include <string>

#include "knowledge/download_history_store.h"
#include "knowledge/download_history_xml.h"
#include "platform/dynamic_library.h"
#include "platform/paths.h"
#include "support/temp_dir.h"

namespace knowledge {
namespace {

constexpr int kSavesPerChild = 1000;

// The child: 1,000 saves of the history, adding and removing records so that the file grows
// and shrinks, until it is killed or done.
[[noreturn]] void runSaver(const std::string& path) {
  const core::ZelkLibBinding zelkLib{platform::DynamicLibrary::open(ZELK_REAL_LIBRARY)};
  DownloadHistoryStore store(path, zelkLib, {});
  for (int i = 0; i < kSavesPerChild; ++i) {
    LibDownloadFileInfo record;
    record.FileName = u"kb/文件-" + std::u16string(1 + i % 7, u'x');
    record.LocalFileName = record.FileName.substr(3) + u".pdf";
    record.DownloadStateInfo = std::u16string(static_cast<std::size_t>(i % 200), u'进');
    if (!store.AddDownloading(record)) store.RemoveDownloading(record.FileName);
  }
  _exit(0);
}

TEST(DownloadHistoryCrash, ASaverKilledAtAnyMomentLeavesAFileThatParses) {
  testing_support::TempDir temp;
  const std::string path = temp.file("DownloadHistory.xml");
  const core::ZelkLibBinding zelkLib{platform::DynamicLibrary::open(ZELK_REAL_LIBRARY)};
  ASSERT_TRUE(zelkLib.loaded());
  DownloadHistoryStore(path, zelkLib, {}).EnsureHistoryFile();

  std::mt19937 random(20240611);
  int observedVersions = 0;
  for (int round = 0; round < 20; ++round) {
    const int changesBeforeKill = std::uniform_int_distribution<int>(0, 60)(random);
    const pid_t child = fork();
    ASSERT_GE(child, 0);
    if (child == 0) runSaver(path);

    // Every version a reader sees while the child saves must parse; the child is killed after
    // a random number of them.
    std::string last;
    int changes = 0;
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(30);
    while (changes < changesBeforeKill && std::chrono::steady_clock::now() < deadline) {
      std::string text;
      ASSERT_TRUE(platform::ReadWholeFile(path, text));
      ASSERT_NE(ParseHistoryDocument(text), nullptr) << "torn file seen in round " << round;
      if (text != last) {
        ++changes;
        last = std::move(text);
      }
      if (waitpid(child, nullptr, WNOHANG) == child) break;
    }
    kill(child, SIGKILL);
    waitpid(child, nullptr, 0);
    observedVersions += changes;

    std::string text;
    ASSERT_TRUE(platform::ReadWholeFile(path, text));
    ASSERT_NE(ParseHistoryDocument(text), nullptr) << "torn file after the kill in round " << round;
  }
  EXPECT_GT(observedVersions, 20);
  EXPECT_FALSE(std::filesystem::exists(path + ".bad"));
}

}  // namespace
}  // namespace knowledge
