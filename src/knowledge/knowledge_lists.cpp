#include "knowledge/knowledge_lists.h"

#include "core/app_directory.h"
#include "core/program_files.h"
#include "platform/code_page.h"

namespace knowledge {

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

// The queue, its rows and the finished list come with the knowledge download lists.
void KnowledgeLists::DoRefreshDownloadList() {}
void KnowledgeLists::QueueKnowledgeDownload(const std::string&) {}
void KnowledgeLists::OnKnowlegeDownloadingClick(const std::string&) {}
void KnowledgeLists::OnKnowlegeDownloadedClick(const std::string&) {}
void KnowledgeLists::SwitchKnowlegeDownloadMngPage(const std::string&) {}
void KnowledgeLists::RestartKnowledgeQueue() {}
void KnowledgeLists::OnDownloadPermission(platform::Payload&) {}
void KnowledgeLists::OnDownloadStarted(const DownloadStarted&) {}
void KnowledgeLists::OnDownloadProgress(const DownloadProgress&) {}
void KnowledgeLists::OnDownloadEnded(const DownloadEnded&) {}

}  // namespace knowledge
