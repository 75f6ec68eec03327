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

int FileDelete(const char16_t* path) {
  std::error_code error;
  return std::filesystem::remove(pathOf(path), error) ? 1 : 0;
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
  if (StandIn().onFileInUseCheck) StandIn().onFileInUseCheck();
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

void AppendLog(const char16_t*, const char16_t* line) {
  std::lock_guard lock(StandIn().webMutex);
  StandIn().appendedLines.emplace_back(platform::Utf16View(line));
}

const char16_t* CombinURL(const char16_t* base, const char16_t* relative) {
  thread_local std::u16string joined;
  joined = std::u16string(platform::Utf16View(base)) + u"/" +
           std::u16string(platform::Utf16View(relative));
  return joined.c_str();
}

const char16_t* GetWebContent(const char16_t* url, char16_t* statusBuffer12) {
  thread_local std::u16string reply;
  std::lock_guard lock(StandIn().webMutex);
  StandIn().requestedUrls.emplace_back(platform::Utf16View(url));
  reply = StandIn().webReply;
  statusBuffer12[0] = StandIn().webFails ? u'0' : u'1';
  statusBuffer12[1] = u'\0';
  return reply.c_str();
}

}  // namespace

StandInState& StandIn() {
  static StandInState state;
  return state;
}

core::ZelkLibBinding MakeStandInBinding() {
  return core::ZelkLibBinding([](const char* name) -> void* {
    if (std::strcmp(name, "FileExist") == 0) return reinterpret_cast<void*>(&FileExist);
    if (std::strcmp(name, "FileDelete") == 0) return reinterpret_cast<void*>(&FileDelete);
    if (std::strcmp(name, "TryCreateFolderPathByFileName") == 0) {
      return reinterpret_cast<void*>(&TryCreateFolderPathByFileName);
    }
    if (std::strcmp(name, "CheckFileIsUsing") == 0) {
      return reinterpret_cast<void*>(&CheckFileIsUsing);
    }
    if (std::strcmp(name, "CheckCanVisitInternent") == 0) {
      return reinterpret_cast<void*>(&CheckCanVisitInternent);
    }
    if (std::strcmp(name, "AppendLog") == 0) return reinterpret_cast<void*>(&AppendLog);
    if (std::strcmp(name, "CombinURL") == 0) return reinterpret_cast<void*>(&CombinURL);
    if (std::strcmp(name, "GetWebContent") == 0) return reinterpret_cast<void*>(&GetWebContent);
    return nullptr;
  });
}

}  // namespace knowledge_testing
