// Times DownloadHistoryStore on a history of 10,000 finished and 100 queued records (or the
// counts given as the first two arguments) with the real support library: the load of the
// start-up (the finished list, then the queue) and each add, complete and remove of a queued
// record as the window thread sees it, and prints the figures with the targets (load at most
// 100 ms, each change at most 20 ms).

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <memory>
#include <string>
#include <vector>

#include "core/zelk_lib_binding.h"
#include "knowledge/download_history_store.h"
#include "knowledge/download_history_xml.h"
#include "platform/code_page.h"
#include "platform/dynamic_library.h"
#include "support/temp_dir.h"

namespace {

using SteadyClock = std::chrono::steady_clock;
constexpr double kLoadTargetMs = 100.0;
constexpr double kChangeTargetMs = 20.0;
constexpr int kChanges = 20;

double MsSince(SteadyClock::time_point start) {
  return std::chrono::duration<double, std::milli>(SteadyClock::now() - start).count();
}

knowledge::LibDownloadFileInfo Record(const std::string& name, const std::string& folder) {
  knowledge::LibDownloadFileInfo record;
  record.FileName = platform::Utf8ToUtf16(name + ".pdf");
  record.DownloadId = platform::Utf8ToUtf16(name);
  record.LocalFileName = platform::Utf8ToUtf16("资料 " + name + ".pdf");
  record.LocalFullName = platform::Utf8ToUtf16(folder + "/资料 " + name + ".pdf");
  return record;
}

struct Figures {
  double median = 0;
  double worst = 0;
};

Figures Summarise(std::vector<double> samples) {
  std::sort(samples.begin(), samples.end());
  return {samples[samples.size() / 2], samples.back()};
}

}  // namespace

int main(int argc, char** argv) {
  const int finishedCount = argc > 1 ? std::atoi(argv[1]) : 10000;
  const int queuedCount = argc > 2 ? std::atoi(argv[2]) : 100;
  platform::SetAnsiCodesetOverride("UTF-8");
  const char* appDir = std::getenv("ZELK_APP_DIR");
  core::ZelkLibBinding lib(platform::DynamicLibrary::open(
      std::string(appDir != nullptr ? appDir : ".") + "/libZelkLib.so"));
  testing_support::TempDir dir;
  lib.setProgramDirectory(platform::Utf8ToUtf16(dir.path()));
  knowledge::DownloadHistoryStore store(dir.file("DownloadHistory.xml"), lib, {});
  const std::string folder = dir.file("Downloads/Knowlege");

  // The history written in one go, as the program would have saved it after all those
  // downloads.
  {
    std::unique_ptr<TiXmlDocument> document = knowledge::NewHistoryDocument();
    TiXmlElement& finished =
        knowledge::RequireHistoryList(*document, knowledge::HistoryList::Finished);
    for (int i = 0; i < finishedCount; ++i) {
      knowledge::LibDownloadFileInfo record = Record("f" + std::to_string(i), folder);
      record.State = knowledge::DownloadState::DownloadFinish;
      record.IsDownloadFinish = true;
      finished.InsertEndChild(
          knowledge::MakeRecordElement(record, knowledge::HistoryList::Finished));
    }
    knowledge::RenumberIndex(finished);
    TiXmlElement& queue =
        knowledge::RequireHistoryList(*document, knowledge::HistoryList::Downloading);
    for (int i = 0; i < queuedCount; ++i) {
      queue.InsertEndChild(knowledge::MakeRecordElement(Record("q" + std::to_string(i), folder),
                                                        knowledge::HistoryList::Downloading));
    }
    std::ofstream(dir.file("DownloadHistory.xml"), std::ios::binary)
        << knowledge::SerialiseHistoryDocument(*document);
  }

  // Each load by a store of its own, as at a start of the program: the file is read and parsed.
  std::vector<double> loads;
  for (int i = 0; i < 5; ++i) {
    knowledge::DownloadHistoryStore starting(dir.file("DownloadHistory.xml"), lib, {});
    const auto start = SteadyClock::now();
    const auto finished = starting.LoadFinished();
    const auto queued = starting.LoadDownloading(platform::Utf8ToUtf16(folder));
    loads.push_back(MsSince(start));
    if (finished.size() != static_cast<std::size_t>(finishedCount) ||
        queued.size() != static_cast<std::size_t>(queuedCount)) {
      std::fprintf(stderr, "the history holds %zu finished and %zu queued records\n",
                   finished.size(), queued.size());
      return 1;
    }
  }

  std::vector<double> adds, completes, removes;
  for (int i = 0; i < kChanges; ++i) {
    const knowledge::LibDownloadFileInfo record = Record("n" + std::to_string(i), folder);
    auto start = SteadyClock::now();
    store.AddDownloading(record);
    adds.push_back(MsSince(start));

    // A completion as the queue does it: from the queue to the finished list.
    knowledge::LibDownloadFileInfo done = record;
    done.State = knowledge::DownloadState::DownloadFinish;
    done.IsDownloadFinish = true;
    start = SteadyClock::now();
    store.CompleteDownloading(done);
    completes.push_back(MsSince(start));

    start = SteadyClock::now();
    store.RemoveFinished(done.FileName);
    removes.push_back(MsSince(start));
  }

  // The saves run on the store's writer thread; their time to disk is printed apart.
  const auto flushStart = SteadyClock::now();
  store.Flush();
  const double flushMs = MsSince(flushStart);

  const Figures load = Summarise(loads);
  std::printf("history of %d finished and %d queued records\n", finishedCount, queuedCount);
  std::printf("start-up load   median %7.2f ms  worst %7.2f ms  (target <= %.0f ms)\n", load.median,
              load.worst, kLoadTargetMs);
  for (const auto& [name, samples] :
       {std::pair{"add queued     ", adds}, std::pair{"complete       ", completes},
        std::pair{"remove finished", removes}}) {
    const Figures f = Summarise(samples);
    std::printf("%s median %7.2f ms  worst %7.2f ms  (target <= %.0f ms)\n", name, f.median,
                f.worst, kChangeTargetMs);
  }
  std::printf("then waiting for the last save to reach the disk: %.2f ms\n", flushMs);
  return 0;
}
