#pragma once

#include <cstdint>
#include <functional>
#include <mutex>
#include <string>
#include <vector>

#include "core/zelk_lib_binding.h"

namespace core_testing {

// A support library made of test functions, reached through the binding's replaceable lookup:
// the exports the process shell uses, each answering what the test scripted and recording its
// calls. File tests and deletions act on the real file system. One instance at a time.
class ScriptedZelkLib {
 public:
  ScriptedZelkLib();
  ~ScriptedZelkLib();
  ScriptedZelkLib(const ScriptedZelkLib&) = delete;
  ScriptedZelkLib& operator=(const ScriptedZelkLib&) = delete;

  // A binding whose exports are the scripted ones (exports named in `hidden` are missing).
  core::ZelkLibBinding binding(std::vector<std::string> hidden = {});

  struct SentMessage {
    std::string processName;
    std::uint32_t message = 0;
    std::string text;
  };

  // What the exports answer.
  struct Script {
    std::vector<std::string> runningProcesses;  // HasRunningInstance answers 1 for these
    bool raiseInHasRunningInstance = false;
    std::u16string sharedRequest;  // ReadDataFromUrlProtocolShareMemory
    bool raiseInReadRequest = false;
    std::u16string environmentStatus = u"0";  // NeedUpdateZelkEnviroment
    std::u16string environmentMessage;
    bool raiseInRegister = false;
    int interfaceShareMemoryResult = 1;
    int checkNeedUpdateResult = 0;
    std::function<void()> duringCheckNeedUpdate;  // runs inside CheckNeedUpdate
    bool raiseInCheckNeedUpdate = false;
    int unZipResult = 1;              // UnZipFile
    std::u16string webStatus = u"1";  // GetWebContent
    std::u16string webReply;
    int downloadResult = 1;  // DownloadImageByUrl (writes downloadContent)
    std::string downloadContent;
    std::u16string downloadError;
  };

  // What the exports saw.
  struct Record {
    std::vector<std::string> log;     // AppendLog lines, UTF-8
    std::vector<std::string> events;  // export names in call order
    std::string storedRequest;        // WriteDataToUrlProtocolShareMemory
    std::vector<SentMessage> sent;
    std::vector<std::string> registerForce;
    std::string serviceHost;
    std::string browserEmulationProcess;
    std::string checkNeedUpdateDirectory;
    std::vector<std::string> unzipped;     // "archive -> target"
    std::vector<std::string> fetchedUrls;  // GetWebContent
    std::vector<std::string> downloads;    // "url -> path"
  };

  void script(const Script& script);
  Record record() const;
  // Adds an event of the test's own to the sequence of export calls.
  void note(const std::string& event);

  static ScriptedZelkLib& current();

  // Access for the scripted exports.
  Script scriptCopy() const;
  template <class F>
  void update(F&& change) {
    std::lock_guard lock(mutex_);
    change(record_);
  }

 private:
  mutable std::mutex mutex_;
  Script script_;
  Record record_;
};

}  // namespace core_testing
