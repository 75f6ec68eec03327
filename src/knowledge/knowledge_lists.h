#pragma once

#include <cstdint>
#include <deque>
#include <functional>
#include <optional>
#include <string>

#include "core/feature_host.h"
#include "knowledge/download_engine.h"
#include "knowledge/download_history_store.h"
#include "knowledge/download_messages.h"
#include "knowledge/download_row_layout.h"
#include "platform/payload.h"

namespace skinui {
class List;
}

namespace knowledge {

class CKnowlegeDownloadingItemUI;

// The knowledge download manager: the queue of downloads ("lstKnowlegeDownloading") driven by
// the one knowledge download engine, the finished list ("lstKnowlegeDownloaded"), their history
// file beside the program, the download folder and the download requests of web pages. Owned by
// the main frame, which calls these operations from its start-up steps, dispatch tables, timers
// and message handlers.
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
  // The logged-in user's login sign; empty while nobody is logged in.
  using LoginSignQuery = std::function<std::u16string()>;

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
  void SetLoginSignQuery(LoginSignQuery query) { loginSign_ = std::move(query); }
  // Shows the login area of the main window, where a download that needs a login sends the
  // user.
  void SetShowLoginArea(std::function<void()> show) { showLoginArea_ = std::move(show); }

  // The finished list, then the queue.
  virtual void DoRefreshDownloadList();
  // A click on the download button of a search result ("btnKnowlegeItemDownload_" + n): the
  // result is queued (once) and its button disabled. Needs a login.
  virtual void QueueKnowledgeDownload(const std::string& name);
  // "btnKnowlegeDownloading_Execute_" + n / "btnKnowlegeDownloading_Delete_" + n.
  virtual void OnKnowlegeDownloadingClick(const std::string& name);
  // "btnKnowlegeDownloaded_Open_" + n / "btnKnowlegeDownloaded_Delete_" + n.
  virtual void OnKnowlegeDownloadedClick(const std::string& name);
  // A "knowlege_downloadmng_quickBar_" button: the one ending "downloding" shows the queue,
  // the others the finished list.
  virtual void SwitchKnowlegeDownloadMngPage(const std::string& name);
  // A share button of a download row: shares the row's file. False when the button belongs to
  // no row of these lists (another place shares it).
  virtual bool OnShareClick(const std::string& name);
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
  // Rebuilds the finished list from the history file. Its rows are made a batch at a time: the
  // first batch now, the next each time the list is scrolled near its end, so that a history of
  // thousands of files neither holds the window for seconds nor keeps a row's controls (some
  // 20 KB) for every file.
  void RefreshFinishedList();
  // The finished list was scrolled: near its end the next batch of rows is made.
  virtual void OnFinishedListScrolled();

  // Row n of the queue: Downloading and waiting rows pause, paused rows wait again (with a
  // login), failed rows wait again; then the queue goes on.
  void PauseResumeRow(int n);
  // Drops row n from the queue; its partial file stays on disk.
  void DeleteQueuedRow(int n);
  // Opens the file of finished row n with the shell, or says that it is gone.
  void OpenFinishedFile(int n);
  // Forgets finished row n and deletes its file, without asking.
  void DeleteFinishedFile(int n);

  // The service's record of a download a web page asks for ("downid", "filename", "title");
  // nullopt when the service does not answer with one. Blocks the window thread for one
  // request.
  struct WebDownload {
    std::int32_t downloadId = 0;
    std::u16string fileName;
    std::u16string title;
  };
  std::optional<WebDownload> LookupWebDownload(const std::u16string& query);
  // Queues the download unless its file is queued already.
  void QueueWebDownload(const WebDownload& download);
  // The knowledge tab with its download queue in front.
  void ShowDownloadingPage();

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
  // Whoever is logged in; when nobody is, the message box that asks for a login and the login
  // area.
  bool RequireLogin();
  CKnowlegeDownloadingItemUI* DownloadingRowAt(int n);
  void ShowMoreFinishedRows(skinui::List& list);
  // The icon flying from a control to the one named `to` (nothing when either is missing).
  void FlyTo(const skinui::Control* from, std::string_view to, const std::string& image);
  // The record of a new download, or nullopt (with the reason shown) when its title gives no
  // local file name.
  std::optional<LibDownloadFileInfo> NewRecord(const std::u16string& downloadId,
                                               const std::u16string& fileName,
                                               const std::u16string& title,
                                               const std::u16string& downloadFolder);

  DownloadHistoryStore history_;
  DownloadEngine engine_;
  // The finished records, in file order, whose rows are not made yet.
  std::deque<LibDownloadFileInfo> finishedWithoutRows_;
  LoggedInUidQuery loggedInUid_ = [] { return std::optional<std::int32_t>(); };
  LoginSignQuery loginSign_ = [] { return std::u16string(); };
  std::function<void()> showLoginArea_;
};

}  // namespace knowledge
