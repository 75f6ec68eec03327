#include "knowledge/knowledge_lists.h"

#include <memory>
#include <vector>

#include "core/app_directory.h"
#include "core/program_files.h"
#include "core/window_messages.h"
#include "core/window_timers.h"
#include "knowledge/download_permission.h"
#include "knowledge/file_server_query.h"
#include "knowledge/knowlege_downloaded_item_ui.h"
#include "knowledge/knowlege_downloading_item_ui.h"
#include "net/endpoints.h"
#include "net/service_requests.h"
#include "net/service_transfer.h"
#include "platform/code_page.h"
#include "skinui/list.h"
#include "skinui/ui_context.h"
#include "skinui/window.h"

namespace knowledge {
namespace {

constexpr char kDownloadingList[] = "lstKnowlegeDownloading";
constexpr char kDownloadedList[] = "lstKnowlegeDownloaded";
constexpr char16_t kPreparingText[] = u"下载准备中...";
// The engine never ends with it; a row that gets it keeps what it shows.
constexpr std::int32_t kDownloadResultError =
    static_cast<std::int32_t>(DownloadState::DownloadError);

}  // namespace

KnowledgeLists::KnowledgeLists(core::FeatureHost& host)
    : host_(host),
      history_(core::JoinAppPath(host.AppDirectory(), core::kDownloadHistoryFileName),
               host.Binding(), ProductLogSink(host.Binding())),
      engine_(host.Service(), ProductLogSink(host.Binding())) {
  history_.EnsureHistoryFile();
}

std::u16string KnowledgeLists::KnowlegeDownloadFolder() {
  const core::ZelkLibBinding& lib = host_.Binding();
  std::u16string folder = lib.LoadOptionData(lib.programDirectory());
  if (folder.empty()) {
    folder = platform::Utf8ToUtf16(
        core::JoinAppPath(host_.AppDirectory(), core::kKnowlegeDownloadFolder));
  }
  return folder;
}

void KnowledgeLists::OpenKnowlegeDownloadFolder() {
  const std::u16string folder = KnowlegeDownloadFolder();
  if (host_.Binding().PathExist(folder)) host_.ShellOpen(folder);
}

void KnowledgeLists::ProcessUrlProtocol(const std::u16string& request) {
  // The request is kept in the log until the download requests of web pages are served here.
  host_.Log(request);
}

void KnowledgeLists::DoRefreshDownloadList() {
  RefreshFinishedList();
  RestartKnowledgeQueue();
}

void KnowledgeLists::RestartKnowledgeQueue() {
  if (engine_.IsRunning()) {
    engine_.StopDownload();
    return;
  }
  // Waits for a worker that is still finishing, so that the next start finds the engine free.
  engine_.StopDownload();
  CheckDownloadPermission();
}

void KnowledgeLists::CheckDownloadPermission() {
  const std::optional<std::int32_t> uid = loggedInUid_();
  if (!uid) {
    host_.Post(core::WM_DOWNLOAD_PERMISSION,
               platform::Payload::make<DownloadPermission>(DownloadPermission{0, kLoginFirstText}));
    return;
  }
  const core::ServiceContext context = host_.Service();
  context.loop->startWorker([context, uid = *uid] {
    context.postToMainWindow(
        core::WM_DOWNLOAD_PERMISSION,
        platform::Payload::make<DownloadPermission>(AskDownloadPermission(context, uid)));
  });
}

void KnowledgeLists::OnDownloadPermission(platform::Payload& payload) {
  const DownloadPermission* permission = payload.get<DownloadPermission>();
  if (permission == nullptr) {
    host_.Log(u"丢弃下载权限消息：没有附带数据或数据类型不符");
    return;
  }
  StartKnowledgeQueue(permission->allowed, permission->message);
}

void KnowledgeLists::StartKnowledgeQueue(std::int32_t allowed, const std::u16string& message) {
  auto* list = host_.Find<skinui::List>(kDownloadingList);
  if (list == nullptr) return;
  list->RemoveAll();
  const std::string skinFolder = host_.OwnerWindow().GetContext().ResourcePath();
  std::vector<CKnowlegeDownloadingItemUI*> rows;
  for (LibDownloadFileInfo& record : history_.LoadDownloading(KnowlegeDownloadFolder())) {
    auto row = std::make_unique<CKnowlegeDownloadingItemUI>(skinFolder, MakeRowLog());
    row->SetRecord(std::move(record));
    row->PlaceAt(static_cast<int>(rows.size()));
    rows.push_back(row.get());
    list->Add(std::move(row));
  }
  if (rows.empty()) return;

  CKnowlegeDownloadingItemUI* firstDownloading = nullptr;
  CKnowlegeDownloadingItemUI* firstWaiting = nullptr;
  for (CKnowlegeDownloadingItemUI* row : rows) {
    row->UpdateStatus(100, 0);
    row->SetState(row->Record().State);
    if (row->Record().State == DownloadState::Downloading && firstDownloading == nullptr) {
      firstDownloading = row;
    } else if (row->Record().State == DownloadState::DownloadWaiting && firstWaiting == nullptr) {
      firstWaiting = row;
    }
  }

  if (allowed == 1) {
    // Paused and failed rows wait for the user.
    CKnowlegeDownloadingItemUI* next =
        firstDownloading != nullptr ? firstDownloading : firstWaiting;
    // Two restarts close together get two answers: the transfer the first one started goes on.
    if (next == nullptr || engine_.IsRunning()) return;
    const LibDownloadFileInfo& record = next->Record();
    engine_.StartDownload(host_.Service().mainWindow, record.FileName, record.LocalFullName,
                          StoreFileKind::Knowlege, MakeFileServerQuery(host_.Binding()),
                          kMaxRetries);
    return;
  }
  for (CKnowlegeDownloadingItemUI* row : rows) row->SetStatusLine(message);
  if (message.find(kPermissionUnreachableText) != std::u16string::npos) {
    host_.SetTimer(core::kKnowlegeQueueRetryTimer, core::kKnowlegeQueueRetryDelayMs);
  }
}

void KnowledgeLists::RefreshFinishedList() {
  auto* list = host_.Find<skinui::List>(kDownloadedList);
  if (list == nullptr) return;
  list->RemoveAll();
  const std::string skinFolder = host_.OwnerWindow().GetContext().ResourcePath();
  int position = 0;
  for (LibDownloadFileInfo& record : history_.LoadFinished()) {
    auto row = std::make_unique<CKnowlegeDownloadedItemUI>(skinFolder, MakeRowLog());
    row->SetRecord(std::move(record));
    row->PlaceAt(position++);
    list->Add(std::move(row));
  }
}

CKnowlegeDownloadingItemUI* KnowledgeLists::FindDownloadingRow(const std::u16string& fileName) {
  auto* list = host_.Find<skinui::List>(kDownloadingList);
  if (list == nullptr) return nullptr;
  for (int i = 0; i < list->GetCount(); ++i) {
    auto* row = dynamic_cast<CKnowlegeDownloadingItemUI*>(list->GetItemAt(i));
    if (row != nullptr && row->Record().FileName == fileName) return row;
  }
  return nullptr;
}

void KnowledgeLists::OnDownloadStarted(const DownloadStarted& started) {
  CKnowlegeDownloadingItemUI* row = FindDownloadingRow(started.FileName);
  if (row == nullptr) return;
  row->SetState(DownloadState::Downloading);
  row->SetStatusLine(kPreparingText);
  row->ResetProgressBar();
}

void KnowledgeLists::OnDownloadProgress(const DownloadProgress& progress) {
  CKnowlegeDownloadingItemUI* row = FindDownloadingRow(progress.FileName);
  if (row != nullptr) row->UpdateStatus(progress.Total, progress.Done);
}

void KnowledgeLists::OnDownloadEnded(const DownloadEnded& ended) {
  CKnowlegeDownloadingItemUI* row = FindDownloadingRow(ended.FileName);
  if (row == nullptr) return;
  switch (ended.Result) {
    case kDownloadResultFinished:
      return FinishDownload(*row);
    case kDownloadResultNotOnServer:
      history_.RemoveDownloading(ended.FileName);
      return RestartKnowledgeQueue();
    case kDownloadResultError:
      return;
    default:
      return RestartKnowledgeQueue();
  }
}

void KnowledgeLists::FinishDownload(CKnowlegeDownloadingItemUI& row) {
  // A copy: the rows are rebuilt below.
  LibDownloadFileInfo record = row.Record();
  record.State = DownloadState::DownloadFinish;
  record.IsDownloadFinish = true;
  history_.AddFinished(record);
  history_.RemoveDownloading(record.FileName);
  RefreshFinishedList();
  RestartKnowledgeQueue();
  SendCompletionReport(record.DownloadId);
}

void KnowledgeLists::SendCompletionReport(const std::u16string& downloadId) {
  const std::optional<std::int32_t> uid = loggedInUid_();
  if (!uid) return;
  const core::ServiceContext context = host_.Service();
  std::optional<std::u16string> url = net::ServiceRequestUrl(
      context.binding(), net::endpoints::kKnowledgeDownloadReport, {*uid, downloadId});
  if (!url) return;
  context.loop->startWorker([context, url = std::move(*url)] {
    std::string reply;
    if (!net::GetServiceContent(context.binding(), url, reply)) net::ReportRequestFailure(context);
  });
}

RowLog KnowledgeLists::MakeRowLog() {
  return [&host = host_](const std::string& line) { host.Log(platform::Utf8ToUtf16(line)); };
}

// Queueing from search results, the rows' buttons and the page switch come with the download
// requests of users and web pages.
void KnowledgeLists::QueueKnowledgeDownload(const std::string&) {}
void KnowledgeLists::OnKnowlegeDownloadingClick(const std::string&) {}
void KnowledgeLists::OnKnowlegeDownloadedClick(const std::string&) {}
void KnowledgeLists::SwitchKnowlegeDownloadMngPage(const std::string&) {}

}  // namespace knowledge
