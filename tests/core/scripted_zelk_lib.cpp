#include "scripted_zelk_lib.h"

#include <algorithm>
#include <cstdio>
#include <filesystem>
#include <map>
#include <stdexcept>

#include "platform/code_page.h"
#include "zelklib/zelklib_exports.h"

namespace core_testing {
namespace {

ScriptedZelkLib* g_current = nullptr;

std::string utf8(const char16_t* text) {
  return platform::Utf16ToUtf8(platform::Utf16View(text));
}

void event(const char* name) {
  ScriptedZelkLib::current().update([name](auto& record) { record.events.push_back(name); });
}

const char16_t* keepText(std::u16string text) {
  thread_local std::u16string buffer;
  buffer = std::move(text);
  return buffer.c_str();
}

void fill(char16_t* buffer, int bytes, const std::u16string& text) {
  const std::size_t n = std::min(text.size(), static_cast<std::size_t>(bytes / 2 - 1));
  text.copy(buffer, n);
  buffer[n] = u'\0';
}

void appendLog(const char16_t*, const char16_t* line) {
  ScriptedZelkLib::current().update([&](auto& record) {
    record.log.push_back(utf8(line));
    record.events.push_back("log:" + utf8(line));
  });
}

int hasRunningInstance(const char16_t* name) {
  event("HasRunningInstance");
  const auto script = ScriptedZelkLib::current().scriptCopy();
  if (script.raiseInHasRunningInstance) throw std::runtime_error("process list unreadable");
  const auto& running = script.runningProcesses;
  return std::find(running.begin(), running.end(), utf8(name)) != running.end() ? 1 : 0;
}

int sendMsgToRunningInstance(const char16_t* name, std::uint32_t message, const char16_t* text) {
  ScriptedZelkLib::current().update([&](auto& record) {
    record.events.push_back("SendMsgToRunningInstance");
    record.sent.push_back({utf8(name), message, utf8(text)});
  });
  return 1;
}

void writeUrlRequest(const char16_t* request) {
  ScriptedZelkLib::current().update([&](auto& record) {
    record.events.push_back("WriteDataToUrlProtocolShareMemory");
    record.storedRequest = utf8(request);
  });
}

const char16_t* readUrlRequest() {
  event("ReadDataFromUrlProtocolShareMemory");
  const auto script = ScriptedZelkLib::current().scriptCopy();
  if (script.raiseInReadRequest) throw std::runtime_error("shared memory gone");
  return keepText(script.sharedRequest);
}

int writeInterfaceShareMemory(const char16_t* host) {
  ScriptedZelkLib::current().update([&](auto& record) {
    record.events.push_back("WriteDataToZelkInterfaceShareMemory");
    record.serviceHost = utf8(host);
  });
  return ScriptedZelkLib::current().scriptCopy().interfaceShareMemoryResult;
}

const char16_t* needUpdateEnvironment(const char16_t*, char16_t* status) {
  event("NeedUpdateZelkEnviroment");
  const auto script = ScriptedZelkLib::current().scriptCopy();
  fill(status, kZelkStatusBufferBytes, script.environmentStatus);
  return keepText(script.environmentMessage);
}

int tryRegisterEnvironment(const char16_t*, const char16_t* force) {
  ScriptedZelkLib::current().update([&](auto& record) {
    record.events.push_back("TryRegisterZelkEnviroment");
    record.registerForce.push_back(utf8(force));
  });
  if (ScriptedZelkLib::current().scriptCopy().raiseInRegister) throw std::runtime_error("denied");
  return 1;
}

int setBrowserEmulation(const char16_t* name) {
  ScriptedZelkLib::current().update([&](auto& record) {
    record.events.push_back("TrySetIE_FEATURE_BROWSER_EMULATION");
    record.browserEmulationProcess = utf8(name);
  });
  return 1;
}

int checkNeedUpdate(const char16_t* dir) {
  ScriptedZelkLib::current().update([&](auto& record) {
    record.events.push_back("CheckNeedUpdate");
    record.checkNeedUpdateDirectory = utf8(dir);
  });
  const auto script = ScriptedZelkLib::current().scriptCopy();
  if (script.duringCheckNeedUpdate) script.duringCheckNeedUpdate();
  if (script.raiseInCheckNeedUpdate) throw std::runtime_error("no answer");
  return script.checkNeedUpdateResult;
}

int fileExist(const char16_t* path) {
  std::error_code error;
  return std::filesystem::is_regular_file(utf8(path), error) ? 1 : 0;
}

int fileDelete(const char16_t* path) {
  event("FileDelete");
  return std::remove(utf8(path).c_str()) == 0 ? 1 : 0;
}

int unZipFile(const char16_t* archive, const char16_t* target) {
  ScriptedZelkLib::current().update([&](auto& record) {
    record.events.push_back("UnZipFile");
    record.unzipped.push_back(utf8(archive) + " -> " + utf8(target));
  });
  return ScriptedZelkLib::current().scriptCopy().unZipResult;
}

const char16_t* getWebContent(const char16_t* url, char16_t* status) {
  ScriptedZelkLib::current().update([&](auto& record) { record.fetchedUrls.push_back(utf8(url)); });
  const auto script = ScriptedZelkLib::current().scriptCopy();
  fill(status, kZelkStatusBufferBytes, script.webStatus);
  return keepText(script.webReply);
}

const char16_t* combinUrl(const char16_t* base, const char16_t* relative) {
  std::u16string joined(platform::Utf16View(base));
  joined += platform::Utf16View(relative);
  return keepText(joined);
}

int downloadImageByUrl(const char16_t* url, const char16_t* path, char16_t* error) {
  ScriptedZelkLib::current().update(
      [&](auto& record) { record.downloads.push_back(utf8(url) + " -> " + utf8(path)); });
  const auto script = ScriptedZelkLib::current().scriptCopy();
  if (script.downloadResult == 0) {
    fill(error, kZelkErrorBufferBytes, script.downloadError);
    return 0;
  }
  FILE* file = std::fopen(utf8(path).c_str(), "wb");
  if (file == nullptr) return 0;
  std::fwrite(script.downloadContent.data(), 1, script.downloadContent.size(), file);
  std::fclose(file);
  return script.downloadResult;
}

const std::map<std::string, void*>& exports() {
  static const std::map<std::string, void*> table = {
      {"AppendLog", reinterpret_cast<void*>(&appendLog)},
      {"HasRunningInstance", reinterpret_cast<void*>(&hasRunningInstance)},
      {"SendMsgToRunningInstance", reinterpret_cast<void*>(&sendMsgToRunningInstance)},
      {"WriteDataToUrlProtocolShareMemory", reinterpret_cast<void*>(&writeUrlRequest)},
      {"ReadDataFromUrlProtocolShareMemory", reinterpret_cast<void*>(&readUrlRequest)},
      {"WriteDataToZelkInterfaceShareMemory", reinterpret_cast<void*>(&writeInterfaceShareMemory)},
      {"NeedUpdateZelkEnviroment", reinterpret_cast<void*>(&needUpdateEnvironment)},
      {"TryRegisterZelkEnviroment", reinterpret_cast<void*>(&tryRegisterEnvironment)},
      {"TrySetIE_FEATURE_BROWSER_EMULATION", reinterpret_cast<void*>(&setBrowserEmulation)},
      {"CheckNeedUpdate", reinterpret_cast<void*>(&checkNeedUpdate)},
      {"FileExist", reinterpret_cast<void*>(&fileExist)},
      {"FileDelete", reinterpret_cast<void*>(&fileDelete)},
      {"UnZipFile", reinterpret_cast<void*>(&unZipFile)},
      {"GetWebContent", reinterpret_cast<void*>(&getWebContent)},
      {"CombinURL", reinterpret_cast<void*>(&combinUrl)},
      {"DownloadImageByUrl", reinterpret_cast<void*>(&downloadImageByUrl)},
  };
  return table;
}

}  // namespace

ScriptedZelkLib::ScriptedZelkLib() {
  if (g_current != nullptr) throw std::logic_error("one scripted library at a time");
  g_current = this;
}

ScriptedZelkLib::~ScriptedZelkLib() {
  g_current = nullptr;
}

ScriptedZelkLib& ScriptedZelkLib::current() {
  return *g_current;
}

core::ZelkLibBinding ScriptedZelkLib::binding(std::vector<std::string> hidden) {
  return core::ZelkLibBinding([hidden = std::move(hidden)](const char* name) -> void* {
    if (std::find(hidden.begin(), hidden.end(), name) != hidden.end()) return nullptr;
    const auto found = exports().find(name);
    return found != exports().end() ? found->second : nullptr;
  });
}

void ScriptedZelkLib::script(const Script& script) {
  std::lock_guard lock(mutex_);
  script_ = script;
}

ScriptedZelkLib::Script ScriptedZelkLib::scriptCopy() const {
  std::lock_guard lock(mutex_);
  return script_;
}

ScriptedZelkLib::Record ScriptedZelkLib::record() const {
  std::lock_guard lock(mutex_);
  return record_;
}

void ScriptedZelkLib::note(const std::string& name) {
  update([&](auto& record) { record.events.push_back(name); });
}

}  // namespace core_testing
