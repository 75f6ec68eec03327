#include "zelk_lib_stand_in.h"

#include <cstring>
#include <filesystem>

#include "platform/code_page.h"

namespace knowledge_testing {
namespace {

std::filesystem::path pathOf(const char16_t* text) {
  return std::filesystem::path(platform::Utf16ToUtf8(platform::Utf16View(text)));
}

int FileExist(const char16_t* path) {
  std::error_code error;
  return std::filesystem::is_regular_file(pathOf(path), error) ? 1 : 0;
}

int TryCreateFolderPathByFileName(const char16_t* filePath) {
  std::error_code error;
  const auto folder = pathOf(filePath).parent_path();
  if (folder.empty()) return 1;
  std::filesystem::create_directories(folder, error);
  return std::filesystem::is_directory(folder, error) ? 1 : 0;
}

int CheckFileIsUsing(const char16_t*) {
  ++StandIn().fileInUseCalls;
  int left = StandIn().fileInUseAnswers.load();
  while (left > 0) {
    if (StandIn().fileInUseAnswers.compare_exchange_weak(left, left - 1)) return 1;
  }
  return 0;
}

int CheckCanVisitInternent() {
  ++StandIn().internetChecks;
  return StandIn().internetReachable ? 1 : 0;
}

}  // namespace

StandInState& StandIn() {
  static StandInState state;
  return state;
}

shell::ZelkLibBinding MakeStandInBinding() {
  return shell::ZelkLibBinding([](const char* name) -> void* {
    if (std::strcmp(name, "FileExist") == 0) return reinterpret_cast<void*>(&FileExist);
    if (std::strcmp(name, "TryCreateFolderPathByFileName") == 0) {
      return reinterpret_cast<void*>(&TryCreateFolderPathByFileName);
    }
    if (std::strcmp(name, "CheckFileIsUsing") == 0) {
      return reinterpret_cast<void*>(&CheckFileIsUsing);
    }
    if (std::strcmp(name, "CheckCanVisitInternent") == 0) {
      return reinterpret_cast<void*>(&CheckCanVisitInternent);
    }
    return nullptr;
  });
}

}  // namespace knowledge_testing
