#include "knowledge/knowledge_lists.h"

#include <charconv>
#include <iterator>
#include <memory>
#include <string_view>
#include <vector>

#include "core/app_directory.h"
#include "core/command_line.h"
#include "core/fly_icon_animation.h"
#include "core/program_files.h"
#include "core/window_messages.h"
#include "core/window_timers.h"
#include "knowledge/download_permission.h"
#include "knowledge/file_server_query.h"
#include "knowledge/knowlege_downloaded_item_ui.h"
#include "knowledge/knowlege_downloading_item_ui.h"
#include "knowledge/knowlege_result_item_ui.h"
#include "knowledge/local_file_name.h"
#include "knowledge/share_buttons.h"
#include "net/endpoints.h"
#include "net/json_reply.h"
#include "net/service_requests.h"
#include "net/service_transfer.h"
#include "net/text_conversion.h"
#include "net/usage_report.h"
#include "platform/code_page.h"
#include "skinui/list.h"
#include "skinui/option.h"
#include "skinui/paint_manager.h"
#include "skinui/tab_layout.h"
#include "skinui/ui_context.h"
#include "skinui/window.h"

namespace knowledge {
namespace {

constexpr char kDownloadingList[] = "lstKnowlegeDownloading";
constexpr char kDownloadedList[] = "lstKnowlegeDownloaded";
// Finished rows made at a time: more than fill the list's view.
constexpr std::size_t kFinishedRowsPerBatch = 100;
constexpr char16_t kPreparingText[] = u"下载准备中...";
constexpr char16_t kLoginToDownloadText[] = u"下载资料需要登录Tamsel，请先登录Tamsel";
constexpr char16_t kFileMissingText[] = u"文件不存在!";
constexpr char kResultList[] = "lstKnowlegeSearchResult";
constexpr char kResultDownloadPrefix[] = "btnKnowlegeItemDownload_";
constexpr char kExecutePrefix[] = "btnKnowlegeDownloading_Execute_";
constexpr char kDeletePrefix[] = "btnKnowlegeDownloading_Delete_";
constexpr char kOpenPrefix[] = "btnKnowlegeDownloaded_Open_";
constexpr char kDeleteFinishedPrefix[] = "btnKnowlegeDownloaded_Delete_";
constexpr char kUrlScheme[] = "zelk://";
// The longest part of a request the log keeps: a hostile page must not fill the log.
constexpr std::size_t kLoggedRequestLength = 512;
constexpr int kMessageBoxHeight = 160;
constexpr int kWarningIcon = 2;

// The number that follows the prefix; nullopt for any other name.
std::optional<int> NumberAfter(std::string_view name, std::string_view prefix) {
  if (!name.starts_with(prefix)) return std::nullopt;
  const std::string_view digits = name.substr(prefix.size());
  int number = 0;
  const auto [end, error] = std::from_chars(digits.data(), digits.data() + digits.size(), number);
  if (digits.empty() || error != std::errc() || end != digits.data() + digits.size() ||
      number < 0) {
    return std::nullopt;
  }
  return number;
}

std::u16string AsciiLowerCase(std::u16string text) {
  for (char16_t& unit : text) {
    if (unit >= u'A' && unit <= u'Z') unit = static_cast<char16_t>(unit - u'A' + u'a');
  }
  return text;
}

// The engine never ends with it; a row that gets it keeps what it shows.
constexpr std::int32_t kDownloadResultError =
    static_cast<std::int32_t>(DownloadState::DownloadError);

}  // namespace

KnowledgeLists::KnowledgeLists(core::FeatureHost& host)
    : host_(host),
      history_(core::JoinAppPath(host.DataDirectory(), core::kDownloadHistoryFileName),
               host.Binding(), ProductLogSink(host.Binding())),
      engine_(host.Service(), ProductLogSink(host.Binding())) {
  history_.EnsureHistoryFile();
}

std::u16string KnowledgeLists::KnowlegeDownloadFolder() {
  const core::ZelkLibBinding& lib = host_.Binding();
  std::u16string folder = lib.LoadOptionData(lib.dataDirectory());
  if (folder.empty()) {
    folder = platform::Utf8ToUtf16(
        core::JoinAppPath(host_.DataDirectory(), core::kKnowlegeDownloadFolder));
  }
  return folder;
}

void KnowledgeLists::OpenKnowlegeDownloadFolder() {
  const std::u16string folder = KnowlegeDownloadFolder();
  if (host_.Binding().PathExist(folder)) host_.ShellOpen(folder);
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
  std::vector<LibDownloadFileInfo> records = history_.LoadFinished();
  finishedWithoutRows_.assign(std::make_move_iterator(records.begin()),
                              std::make_move_iterator(records.end()));
  ShowMoreFinishedRows(*list);
}

void KnowledgeLists::OnFinishedListScrolled() {
  auto* list = host_.Find<skinui::List>(kDownloadedList);
  if (list == nullptr || finishedWithoutRows_.empty()) return;
  // The visible part ends within a view's height of the last row: the next batch is made before
  // the user reaches the end.
  const int view = list->GetPos().Deflated(list->GetInset()).Height();
  if (list->GetScrollY() + 2 * view >= list->GetContentSize().cy) ShowMoreFinishedRows(*list);
}

void KnowledgeLists::ShowMoreFinishedRows(skinui::List& list) {
  const std::string skinFolder = host_.OwnerWindow().GetContext().ResourcePath();
  for (std::size_t made = 0; made < kFinishedRowsPerBatch && !finishedWithoutRows_.empty();
       ++made) {
    auto row = std::make_unique<CKnowlegeDownloadedItemUI>(skinFolder, MakeRowLog());
    row->SetRecord(std::move(finishedWithoutRows_.front()));
    finishedWithoutRows_.pop_front();
    row->PlaceAt(list.GetCount());
    list.Add(std::move(row));
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
  // The flight shows where the file went, when the knowledge tab is the one in view.
  if (auto* desktop = host_.Find<skinui::TabLayout>("tluDesktop");
      desktop != nullptr && desktop->GetCurSel() == 1) {
    FlyTo(host_.FindControl("knowlege_quickBar_downloding"), "knowlege_quickBar__downloded",
          "down.png");
  }
  history_.CompleteDownloading(record);
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

bool KnowledgeLists::RequireLogin() {
  if (loggedInUid_()) return true;
  host_.ShowMessageBox(kWarningIcon, 0, kLoginToDownloadText, kMessageBoxHeight, false);
  if (showLoginArea_) showLoginArea_();
  return false;
}

std::optional<LibDownloadFileInfo> KnowledgeLists::NewRecord(const std::u16string& downloadId,
                                                             const std::u16string& fileName,
                                                             const std::u16string& title,
                                                             const std::u16string& downloadFolder) {
  const std::optional<std::u16string> localName =
      MakeLocalFileName(title, host_.Binding().GetFileExt(fileName));
  if (!localName) {
    host_.ShowMessageBox(kWarningIcon, 0, kUnusableLocalFileNameReason, kMessageBoxHeight, false);
    return std::nullopt;
  }
  LibDownloadFileInfo record;
  record.DownloadId = downloadId;
  record.FileName = fileName;
  record.Kind = StoreFileKind::Knowlege;
  record.State = DownloadState::DownloadWaiting;
  record.IsDownloadFinish = false;
  record.LocalFileName = *localName;
  record.LocalFullName = MakeLocalFullName(downloadFolder, *localName);
  return record;
}

void KnowledgeLists::QueueKnowledgeDownload(const std::string& name) {
  if (!RequireLogin()) return;
  const std::optional<int> n = NumberAfter(name, kResultDownloadPrefix);
  auto* list = host_.Find<skinui::List>(kResultList);
  if (!n || list == nullptr) return;
  auto* row = dynamic_cast<CKnowlegeResultItemUI*>(list->GetItemAt(*n));
  if (row == nullptr) return;
  const KnowlegeSearchResult result = row->Result();
  std::optional<LibDownloadFileInfo> record;
  if (!history_.IsDownloading(result.fileName)) {
    record = NewRecord(result.downloadId, result.fileName, result.title, KnowlegeDownloadFolder());
    if (!record) return;
    FlyTo(row->DownloadButton(), "knowlege_quickBar_downloding", "");
  }
  // Disabled before the queue restarts: stopping a transfer runs other handlers meanwhile.
  if (row->DownloadButton() != nullptr) row->DownloadButton()->SetEnabled(false);
  net::ReportUserBehavior(host_.Service(), u"KnowlegeDownload", net::BehaviorKind::Knowledge);
  if (!record) return;
  history_.AddDownloading(*record);
  RestartKnowledgeQueue();
}

void KnowledgeLists::FlyTo(const skinui::Control* from, std::string_view to,
                           const std::string& image) {
  const skinui::Control* target = host_.FindControl(to);
  if (from != nullptr && target != nullptr)
    core::FlyIconAnimation::Start(host_, *from, *target, image);
}

CKnowlegeDownloadingItemUI* KnowledgeLists::DownloadingRowAt(int n) {
  auto* list = host_.Find<skinui::List>(kDownloadingList);
  return list != nullptr ? dynamic_cast<CKnowlegeDownloadingItemUI*>(list->GetItemAt(n)) : nullptr;
}

void KnowledgeLists::OnKnowlegeDownloadingClick(const std::string& name) {
  if (const std::optional<int> n = NumberAfter(name, kExecutePrefix)) return PauseResumeRow(*n);
  if (const std::optional<int> n = NumberAfter(name, kDeletePrefix)) return DeleteQueuedRow(*n);
}

void KnowledgeLists::OnKnowlegeDownloadedClick(const std::string& name) {
  if (const std::optional<int> n = NumberAfter(name, kOpenPrefix)) return OpenFinishedFile(*n);
  if (const std::optional<int> n = NumberAfter(name, kDeleteFinishedPrefix)) {
    return DeleteFinishedFile(*n);
  }
}

void KnowledgeLists::PauseResumeRow(int n) {
  CKnowlegeDownloadingItemUI* row = DownloadingRowAt(n);
  if (row == nullptr) return;
  LibDownloadFileInfo record = row->Record();
  switch (record.State) {
    case DownloadState::Downloading:
    case DownloadState::DownloadWaiting:
      record.State = DownloadState::Pause;
      break;
    case DownloadState::Pause:
      if (!RequireLogin()) return;
      record.State = DownloadState::DownloadWaiting;
      break;
    case DownloadState::DownloadError:
      record.State = DownloadState::DownloadWaiting;
      break;
    default:
      return;
  }
  history_.UpdateDownloading(record);
  if (engine_.IsRunning()) {
    // Its end message restarts the queue.
    engine_.StopDownload();
  } else {
    RestartKnowledgeQueue();
  }
}

void KnowledgeLists::DeleteQueuedRow(int n) {
  CKnowlegeDownloadingItemUI* row = DownloadingRowAt(n);
  if (row == nullptr) return;
  history_.RemoveDownloading(row->Record().FileName);
  RestartKnowledgeQueue();
}

void KnowledgeLists::OpenFinishedFile(int n) {
  auto* list = host_.Find<skinui::List>(kDownloadedList);
  auto* row =
      list != nullptr ? dynamic_cast<CKnowlegeDownloadedItemUI*>(list->GetItemAt(n)) : nullptr;
  if (row == nullptr) return;
  if (host_.Binding().FileExist(row->Record().LocalFullName)) {
    host_.ShellOpen(row->Record().LocalFullName);
  } else {
    host_.ShowMessageBox(kWarningIcon, 0, kFileMissingText, kMessageBoxHeight, false);
  }
}

void KnowledgeLists::DeleteFinishedFile(int n) {
  auto* list = host_.Find<skinui::List>(kDownloadedList);
  auto* row =
      list != nullptr ? dynamic_cast<CKnowlegeDownloadedItemUI*>(list->GetItemAt(n)) : nullptr;
  if (row == nullptr) return;
  const LibDownloadFileInfo record = row->Record();
  history_.RemoveFinished(record.FileName);
  const core::ZelkLibBinding& lib = host_.Binding();
  if (lib.FileExist(record.LocalFullName)) lib.FileDelete(record.LocalFullName);
  RefreshFinishedList();
}

void KnowledgeLists::SwitchKnowlegeDownloadMngPage(const std::string& name) {
  const bool queue = name.ends_with("downloding");
  // A layout of its own for the download manager, else the pages of the knowledge tab.
  if (auto* manager = dynamic_cast<skinui::TabLayout*>(
          host_.OwnerWindow().GetPaintManager().FindControl("tluKnowlegeDownloadMng_Desktop"))) {
    manager->SelectItem(queue ? 0 : 1);
  } else if (auto* desktop = host_.Find<skinui::TabLayout>("tluKnowlege_Desktop")) {
    desktop->SelectItem(queue ? 2 : 3);
  }
}

bool KnowledgeLists::OnShareClick(const std::string& name) {
  const ShareClick click = ParseShareButtonName(name);
  std::u16string fileName;
  if (click.place == SharePlace::KnowlegeDownloading) {
    CKnowlegeDownloadingItemUI* row = DownloadingRowAt(click.index);
    if (row == nullptr) return true;
    fileName = row->Record().LocalFileName;
  } else if (click.place == SharePlace::KnowlegeDownloaded) {
    auto* list = host_.Find<skinui::List>(kDownloadedList);
    auto* row = list != nullptr
                    ? dynamic_cast<CKnowlegeDownloadedItemUI*>(list->GetItemAt(click.index))
                    : nullptr;
    if (row == nullptr) return true;
    fileName = row->Record().LocalFileName;
  } else {
    return false;
  }
  Share(host_, click.target, loginSign_(), fileName);
  return true;
}

void KnowledgeLists::ProcessUrlProtocol(const std::u16string& request) {
  host_.Log(request.size() > kLoggedRequestLength ? request.substr(0, kLoggedRequestLength) + u"…"
                                                  : request);
  try {
    // Only a whole, well-formed download request goes on: a page must not reach further.
    if (!core::IsWellFormedUrlProtocolRequest(request)) return;
    const core::ZelkLibBinding& lib = host_.Binding();
    const std::u16string scheme(std::begin(kUrlScheme), std::end(kUrlScheme) - 1);
    if (!lib.StringStartWith(request, scheme)) return;
    std::u16string rest = AsciiLowerCase(request);
    bool removed = false;
    for (std::size_t at = rest.find(scheme); at != std::u16string::npos; at = rest.find(scheme)) {
      rest.erase(at, scheme.size());
      removed = true;
    }
    if (!removed) return;
    const std::size_t slash = rest.find(u'/');
    if (slash == std::u16string::npos) return;
    const std::u16string command = rest.substr(0, slash);
    const std::size_t end = rest.find(u'/', slash + 1);
    const std::u16string query =
        rest.substr(slash + 1, end == std::u16string::npos ? end : end - slash - 1);
    if (!lib.StringCompare(command, u"download")) return;
    const std::optional<WebDownload> download = LookupWebDownload(query);
    if (!download) return;
    QueueWebDownload(*download);
    RestartKnowledgeQueue();
    ShowDownloadingPage();
  } catch (...) {
    host_.Log(u"处理URL协议:" + request.substr(0, kLoggedRequestLength) + u" 过程出现异常");
  }
}

std::optional<KnowledgeLists::WebDownload> KnowledgeLists::LookupWebDownload(
    const std::u16string& query) {
  const core::ZelkLibBinding& lib = host_.Binding();
  const std::optional<std::u16string> url =
      net::ServiceRequestUrl(lib, net::endpoints::kKnowledgeItemForDownload, {query});
  std::string reply;
  if (!url || !net::GetServiceContent(lib, *url, reply)) return std::nullopt;
  const std::optional<Json::Value> json = net::ParseServiceReply(reply);
  if (!json || net::ReplyResult(*json) != 1) return std::nullopt;
  const Json::Value& list = (*json)["list"];
  if (!list.isArray() || list.empty() || !list[0].isObject()) return std::nullopt;
  return WebDownload{net::ReplyInt(list[0], "downid"),
                     net::AnsiToWide(net::ReplyText(list[0], "filename")),
                     net::AnsiToWide(net::ReplyText(list[0], "title"))};
}

void KnowledgeLists::QueueWebDownload(const WebDownload& download) {
  if (download.fileName.empty() || history_.IsDownloading(download.fileName)) return;
  // The folder below the program: the queue's rebuild puts the current download folder in.
  const std::u16string folder = platform::Utf8ToUtf16(
      core::JoinAppPath(host_.DataDirectory(), core::kKnowlegeDownloadFolder));
  const std::string id = std::to_string(download.downloadId);
  if (const std::optional<LibDownloadFileInfo> record = NewRecord(
          std::u16string(id.begin(), id.end()), download.fileName, download.title, folder)) {
    history_.AddDownloading(*record);
  }
}

void KnowledgeLists::ShowDownloadingPage() {
  if (auto* knowledgeTab = host_.Find<skinui::Option>("quickBar_Knowlege")) {
    knowledgeTab->Selected(true);
  }
  if (auto* desktop = host_.Find<skinui::TabLayout>("tluDesktop")) desktop->SelectItem(1);
  if (auto* knowledgePages = host_.Find<skinui::TabLayout>("tluKnowlege_Desktop")) {
    knowledgePages->SelectItem(2);
  }
  if (auto* queueTab = host_.Find<skinui::Option>("knowlege_quickBar_downloding")) {
    queueTab->Selected(true);
  }
}

}  // namespace knowledge
