#pragma once

#include <atomic>

#include "shell/zelk_lib_binding.h"

namespace knowledge_testing {

// The few support-library exports this library calls, done with real file-system calls, behind
// the client binding. The answers of the two that depend on the machine's state (a file in use,
// the internet reachable) are set by the test.
struct StandInState {
  std::atomic<bool> internetReachable{true};
  std::atomic<int> fileInUseAnswers{0};  // CheckFileIsUsing answers 1 this many times
  std::atomic<int> fileInUseCalls{0};
  std::atomic<int> internetChecks{0};
};

StandInState& StandIn();

// A binding whose lookups find FileExist, TryCreateFolderPathByFileName, CheckFileIsUsing and
// CheckCanVisitInternent; every other export is absent (its fallback).
shell::ZelkLibBinding MakeStandInBinding();

}  // namespace knowledge_testing
