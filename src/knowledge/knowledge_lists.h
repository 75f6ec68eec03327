#pragma once

#include <cstdint>
#include <functional>
#include <optional>
#include <string>

#include "core/feature_host.h"
#include "knowledge/download_engine.h"
#include "knowledge/download_history_store.h"
#include "knowledge/download_messages.h"
#include "knowledge/download_row_layout.h"
#include "platform/payload.h"

namespace knowledge {

class CKnowlegeDownloadingItemUI;

// The knowledge download manager: the queue of downloads ("lstKnowlegeDownloading") driven by
// the one knowledge download engine, the finished list ("lstKnowlegeDownloaded"), their history
// file beside the program, the download folder and the download requests of web pages. Owned by
// the main frame, which calls these operations from its start-up steps, dispatch tables, timers
// and message handlers. Operations whose parts are not built yet do nothing.
//
// The queue is the history file's DownloadingList plus the engine: every restart stops the
// engine, asks the service whether the user may download, rebuilds the rows from the file and
// starts at most one transfer.
class KnowledgeLists {
 public:
  // Attempts after a failed one that a queued transfer may make.
  static constexpr std::int32_t kMaxRetries = 5;

  // The user id of whoever is logged in; none while nobody is.
  using LoggedInUidQuery = std::function<std::optional<std::int32_t>()>;

  // Creates the history file when the program directory has none yet.
  explicit KnowledgeLists(core::FeatureHost& host);
  virtual ~KnowledgeLists() = default;
  KnowledgeLists(const KnowledgeLists&) = delete;
  KnowledgeLists& operator=(const KnowledgeLists&) = delete;

  DownloadHistoryStore& History() { return history_; }
  DownloadEngine& Engine() { return engine_; }
  // Until the login session exists, whoever owns it tells the lists who is logged in; by
  // default nobody is.
  void SetLoggedInUidQuery(LoggedInUidQuery query) { loggedInUid_ = std::move(query); }

  // The finished list, then the queue.
  virtual void DoRefreshDownloadList();
  virtual void QueueKnowledgeDownload(const std::string& name);
  virtual void OnKnowlegeDownloadingClick(const std::string& name);
  virtual void OnKnowlegeDownloadedClick(const std::string& name);
  virtual void SwitchKnowlegeDownloadMngPage(const std::string& name);
  // Opens the knowledge download folder with the shell when it exists.
  virtual void OpenKnowlegeDownloadFolder();
  // A running transfer is only stopped: its end message restarts the queue again. Otherwise
  // the permission check runs.
  virtual void RestartKnowledgeQueue();
  // WM_DOWNLOAD_PERMISSION: StartKnowledgeQueue with the answer it carries.
  virtual void OnDownloadPermission(platform::Payload& payload);
  // Interprets one "Zelk://" request of a web page or a later start.
  virtual void ProcessUrlProtocol(const std::u16string& request);

  // The knowledge engine's messages, for the row of their file (dropped when there is none).
  virtual void OnDownloadStarted(const DownloadStarted& started);
  virtual void OnDownloadProgress(const DownloadProgress& progress);
  virtual void OnDownloadEnded(const DownloadEnded& ended);

  // Answers WM_DOWNLOAD_PERMISSION: at once when nobody is logged in, else from a worker that
  // asks the service.
  void CheckDownloadPermission();
  // Rebuilds the queue's rows and, when allowed, starts the first Downloading (else the first
  // waiting) row's transfer; otherwise every row shows the message, and an unreachable service
  // is asked again once after 10 s.
  void StartKnowledgeQueue(std::int32_t allowed, const std::u16string& message);
  // Rebuilds the finished list from the history file.
  void RefreshFinishedList();

  // The stored download folder, else the one below the program directory.
  std::u16string KnowlegeDownloadFolder();

 protected:
  core::FeatureHost& host_;

 private:
  CKnowlegeDownloadingItemUI* FindDownloadingRow(const std::u16string& fileName);
  void FinishDownload(CKnowlegeDownloadingItemUI& row);
  // Tells the service that the logged-in user downloaded the file; the reply is not used.
  void SendCompletionReport(const std::u16string& downloadId);
  RowLog MakeRowLog();

  DownloadHistoryStore history_;
  DownloadEngine engine_;
  LoggedInUidQuery loggedInUid_ = [] { return std::optional<std::int32_t>(); };
};

}  // namespace knowledge
