#include "knowledge/download_history_store.h"

#include <array>
#include <cstdio>

#include "knowledge/local_file_name.h"
#include "platform/code_page.h"
#include "platform/paths.h"

namespace knowledge {
namespace {

constexpr std::array<DownloadState, 4> kShownStates{
    DownloadState::Downloading, DownloadState::DownloadWaiting, DownloadState::Pause,
    DownloadState::DownloadError};

std::vector<LibDownloadFileInfo> readList(TiXmlElement* list) {
  std::vector<LibDownloadFileInfo> records;
  if (list == nullptr) return records;
  for (const TiXmlElement* element = list->FirstChildElement(kRecordElementName);
       element != nullptr; element = element->NextSiblingElement(kRecordElementName)) {
    if (auto record = ReadRecordElement(*element)) records.push_back(std::move(*record));
  }
  return records;
}

// The finished list keeps one element per file, numbered in order.
void appendFinished(TiXmlDocument& document, const LibDownloadFileInfo& record) {
  TiXmlElement& list = RequireHistoryList(document, HistoryList::Finished);
  if (TiXmlElement* older = FindRecordElement(list, record.FileName)) list.RemoveChild(older);
  list.InsertEndChild(MakeRecordElement(record, HistoryList::Finished));
  RenumberIndex(list);
}

}  // namespace

DownloadHistoryStore::DownloadHistoryStore(std::string historyPath,
                                           const core::ZelkLibBinding& zelkLib, LogSink log)
    : path_(std::move(historyPath)), zelkLib_(zelkLib), log_(std::move(log)), writer_(path_) {}

std::u16string DownloadHistoryStore::widePath() const {
  return platform::Utf8ToUtf16(path_);
}

void DownloadHistoryStore::log(const std::u16string& line) const {
  WriteLogLine(log_, line);
}

void DownloadHistoryStore::EnsureHistoryFile() {
  Flush();
  if (zelkLib_.FileExist(widePath())) return;
  zelkLib_.TryCreateFolderPathByFileName(widePath());
  saveNow(*NewHistoryDocument());
}

void DownloadHistoryStore::Flush() {
  writer_.Flush();
  noteEndedSaves();
}

void DownloadHistoryStore::setAside() {
  const std::string aside = path_ + ".bad";
  if (std::rename(path_.c_str(), aside.c_str()) == 0) {
    log(u"下载历史文件 " + widePath() + u" 无法读取，已改名为 " + platform::Utf8ToUtf16(aside) +
        u" 并重新建立.");
  } else {
    log(u"下载历史文件 " + widePath() + u" 无法读取，也无法改名，已重新建立.");
  }
}

void DownloadHistoryStore::noteEndedSaves() {
  const HistoryFileWriter::Progress progress = writer_.State();
  for (; notedFailures_ < progress.failures; ++notedFailures_) {
    log(u"保存下载历史文件 " + widePath() + u" 失败.");
  }
  if (progress.busy() || notedSaves_ == progress.settled) return;
  notedSaves_ = progress.settled;
  if (progress.lastOk && progress.lastStamp) {
    cachedStamp_ = *progress.lastStamp;
  } else {
    cached_.reset();
  }
}

TiXmlDocument* DownloadHistoryStore::load() {
  // While saves are under way the file on disk is older than the tree.
  if (cached_ && writer_.State().busy()) return cached_.get();
  noteEndedSaves();
  if (!zelkLib_.FileExist(widePath())) {
    cached_.reset();
    return nullptr;
  }
  const std::optional<FileStamp> stamp = StampOfFile(path_);
  if (cached_ && stamp && *stamp == cachedStamp_) return cached_.get();
  cached_.reset();
  std::string text;
  if (!platform::ReadWholeFile(path_, text)) {
    log(u"读取下载历史文件 " + widePath() + u" 失败.");
    return nullptr;
  }
  if (auto document = ParseHistoryDocument(text)) {
    // Stamped before the read, so that a change meanwhile is read by the next load; without a
    // stamp (no real file has inode 0) the next load reads the file again.
    cached_ = std::move(document);
    cachedStamp_ = stamp.value_or(FileStamp{});
    return cached_.get();
  }
  setAside();
  cached_ = NewHistoryDocument();
  TiXmlDocument* fresh = cached_.get();
  saveNow(*fresh);
  return fresh;
}

bool DownloadHistoryStore::save() {
  std::string content = SerialiseHistoryDocument(*cached_, lastSize_ + lastSize_ / 8);
  lastSize_ = content.size();
  writer_.Save(std::move(content));
  return true;
}

void DownloadHistoryStore::saveNow(const TiXmlDocument& document) {
  const bool kept = &document == cached_.get();
  const std::optional<FileStamp> stamp =
      platform::WriteFileAtomically(path_, SerialiseHistoryDocument(document)) ? StampOfFile(path_)
                                                                               : std::nullopt;
  if (!stamp) log(u"保存下载历史文件 " + widePath() + u" 失败.");
  if (kept && stamp) {
    cachedStamp_ = *stamp;
  } else {
    cached_.reset();
  }
}

bool DownloadHistoryStore::IsDownloading(const std::u16string& fileName) {
  const auto document = load();
  if (!document) return false;
  TiXmlElement* list = FindHistoryList(*document, HistoryList::Downloading);
  return list != nullptr && FindRecordElement(*list, fileName) != nullptr;
}

bool DownloadHistoryStore::AddDownloading(const LibDownloadFileInfo& record) {
  const auto document = load();
  if (!document) return false;
  TiXmlElement& list = RequireHistoryList(*document, HistoryList::Downloading);
  if (FindRecordElement(list, record.FileName) != nullptr) return false;
  list.InsertEndChild(MakeRecordElement(record, HistoryList::Downloading));
  return save();
}

bool DownloadHistoryStore::UpdateDownloading(const LibDownloadFileInfo& record) {
  const auto document = load();
  if (!document) return false;
  TiXmlElement* list = FindHistoryList(*document, HistoryList::Downloading);
  TiXmlElement* element = list != nullptr ? FindRecordElement(*list, record.FileName) : nullptr;
  if (element == nullptr) return false;
  // The element is written anew in full, so one of an older form gains the children it lacked.
  list->ReplaceChild(element, MakeRecordElement(record, HistoryList::Downloading));
  return save();
}

bool DownloadHistoryStore::RemoveDownloading(const std::u16string& fileName) {
  const auto document = load();
  if (!document) return false;
  TiXmlElement* list = FindHistoryList(*document, HistoryList::Downloading);
  TiXmlElement* element = list != nullptr ? FindRecordElement(*list, fileName) : nullptr;
  if (element == nullptr) return false;
  list->RemoveChild(element);
  return save();
}

std::vector<LibDownloadFileInfo> DownloadHistoryStore::LoadDownloading(
    const std::u16string& downloadFolder) {
  const auto document = load();
  if (!document) return {};
  std::vector<LibDownloadFileInfo> queued;
  for (auto& record : readList(FindHistoryList(*document, HistoryList::Downloading))) {
    const auto localName = SanitiseLocalFileName(record.LocalFileName);
    if (!localName) {
      log(u"下载记录 " + record.FileName + u" 的本地文件名无效，已跳过.");
      continue;
    }
    record.LocalFileName = *localName;
    record.LocalFullName = MakeLocalFullName(downloadFolder, *localName);
    queued.push_back(std::move(record));
  }
  std::vector<LibDownloadFileInfo> ordered;
  for (const DownloadState state : kShownStates) {
    for (const auto& record : queued) {
      if (record.State == state) ordered.push_back(record);
    }
  }
  return ordered;
}

bool DownloadHistoryStore::AddFinished(const LibDownloadFileInfo& record) {
  const auto document = load();
  if (!document) return false;
  appendFinished(*document, record);
  return save();
}

bool DownloadHistoryStore::CompleteDownloading(const LibDownloadFileInfo& record) {
  const auto document = load();
  if (!document) return false;
  appendFinished(*document, record);
  TiXmlElement* queue = FindHistoryList(*document, HistoryList::Downloading);
  if (TiXmlElement* queued =
          queue != nullptr ? FindRecordElement(*queue, record.FileName) : nullptr) {
    queue->RemoveChild(queued);
  }
  return save();
}

bool DownloadHistoryStore::RemoveFinished(const std::u16string& fileName) {
  const auto document = load();
  if (!document) return false;
  TiXmlElement* list = FindHistoryList(*document, HistoryList::Finished);
  TiXmlElement* element = list != nullptr ? FindRecordElement(*list, fileName) : nullptr;
  if (element == nullptr) return false;
  list->RemoveChild(element);
  return save();
}

bool DownloadHistoryStore::IsFinishedAndPresent(const std::u16string& fileName) {
  const auto document = load();
  if (!document) return false;
  TiXmlElement* list = FindHistoryList(*document, HistoryList::Finished);
  TiXmlElement* element = list != nullptr ? FindRecordElement(*list, fileName) : nullptr;
  if (element == nullptr) return false;
  const TiXmlElement* fullName = element->FirstChildElement("LocalFullName");
  const char* text = fullName != nullptr ? fullName->GetText() : nullptr;
  return text != nullptr && zelkLib_.FileExist(platform::Utf8ToUtf16(text));
}

std::vector<LibDownloadFileInfo> DownloadHistoryStore::LoadFinished() {
  const auto document = load();
  if (!document) return {};
  return readList(FindHistoryList(*document, HistoryList::Finished));
}

}  // namespace knowledge
