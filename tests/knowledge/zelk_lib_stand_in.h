#pragma once

#include <atomic>
#include <functional>
#include <mutex>
#include <string>
#include <vector>

#include "core/zelk_lib_binding.h"

namespace knowledge_testing {

// The few support-library exports this library calls, done with real file-system calls, behind
// the client binding. The answers of the two that depend on the machine's state (a file in use,
// the internet reachable) are set by the test.
struct StandInState {
  std::atomic<bool> internetReachable{true};
  std::atomic<int> fileInUseAnswers{0};  // CheckFileIsUsing answers 1 this many times
  std::atomic<int> fileInUseCalls{0};
  std::function<void()> onFileInUseCheck;  // runs inside every CheckFileIsUsing when set
  std::atomic<int> internetChecks{0};

  // GetWebContent answers this reply with status "1" (status "0" when `webFails`) and records
  // the URLs it was asked for.
  std::mutex webMutex;
  std::u16string webReply;
  bool webFails = false;
  std::vector<std::u16string> requestedUrls;
  std::vector<std::u16string> appendedLines;  // AppendLog, guarded by webMutex
};

StandInState& StandIn();

// A binding whose lookups find FileExist, FileDelete, TryCreateFolderPathByFileName,
// CheckFileIsUsing, CheckCanVisitInternent, AppendLog, CombinURL (base and relative part joined by
// one '/') and GetWebContent; every other export is absent (its fallback).
core::ZelkLibBinding MakeStandInBinding();

}  // namespace knowledge_testing
