#pragma once

#include <string>

#include "core/feature_host.h"
#include "knowledge/download_engine.h"
#include "knowledge/download_history_store.h"
#include "knowledge/download_messages.h"
#include "platform/payload.h"

namespace knowledge {

// The knowledge download manager: the queue of downloads ("lstKnowlegeDownloading") driven by
// the one knowledge download engine, the finished list ("lstKnowlegeDownloaded"), their history
// file beside the program, the download folder and the download requests of web pages. Owned by
// the main frame, which calls these operations from its start-up steps, dispatch tables, timers
// and message handlers. Operations whose parts are not built yet do nothing.
class KnowledgeLists {
 public:
  // Creates the history file when the program directory has none yet.
  explicit KnowledgeLists(core::FeatureHost& host);
  virtual ~KnowledgeLists() = default;
  KnowledgeLists(const KnowledgeLists&) = delete;
  KnowledgeLists& operator=(const KnowledgeLists&) = delete;

  DownloadHistoryStore& History() { return history_; }
  DownloadEngine& Engine() { return engine_; }

  virtual void DoRefreshDownloadList();
  virtual void QueueKnowledgeDownload(const std::string& name);
  virtual void OnKnowlegeDownloadingClick(const std::string& name);
  virtual void OnKnowlegeDownloadedClick(const std::string& name);
  virtual void SwitchKnowlegeDownloadMngPage(const std::string& name);
  // Opens the knowledge download folder with the shell when it exists.
  virtual void OpenKnowlegeDownloadFolder();
  virtual void RestartKnowledgeQueue();
  virtual void OnDownloadPermission(platform::Payload& payload);
  // Interprets one "Zelk://" request of a web page or a later start.
  virtual void ProcessUrlProtocol(const std::u16string& request);

  // The knowledge engine's messages, for the row of their file.
  virtual void OnDownloadStarted(const DownloadStarted& started);
  virtual void OnDownloadProgress(const DownloadProgress& progress);
  virtual void OnDownloadEnded(const DownloadEnded& ended);

  // The stored download folder, else the one below the program directory.
  std::u16string KnowlegeDownloadFolder();

 protected:
  core::FeatureHost& host_;

 private:
  DownloadHistoryStore history_;
  DownloadEngine engine_;
};

}  // namespace knowledge
