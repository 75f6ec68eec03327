#pragma once

#include <cstdint>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "core/zelk_lib_binding.h"
#include "knowledge/download_history_xml.h"
#include "knowledge/download_record.h"
#include "knowledge/log_sink.h"

namespace knowledge {

// DownloadHistory.xml: the queue of unfinished knowledge downloads and the list of finished
// ones. Every operation works on the whole file's tree and, when it changed something, saves the
// whole file again through a temporary file and a rename. The tree of the last load or save is
// kept while the file on disk is still that one (same file, size and modification time), so
// that a history of thousands of records is not read again for every question; a file changed
// behind the program's back is read anew. All operations run on the window thread.
//
// Every operation but EnsureHistoryFile does nothing (false, an empty list) when the file does
// not exist. A file that is no XML or not a history file is renamed to "<name>.bad", a log
// line says so, and a fresh file takes its place, instead of being overwritten blind. A failed
// save is logged and otherwise not reported: the caller goes on as if it had succeeded.
class DownloadHistoryStore {
 public:
  // `historyPath`: the file (JoinAppPath("DownloadHistory.xml")), a native path.
  DownloadHistoryStore(std::string historyPath, const core::ZelkLibBinding& zelkLib, LogSink log);

  const std::string& path() const { return path_; }

  // Creates the folders above the file and an empty history when there is no file.
  void EnsureHistoryFile();

  bool IsDownloading(const std::u16string& fileName);
  // Appends the record to the queue. A record whose FileName is queued already is not added
  // twice (false).
  bool AddDownloading(const LibDownloadFileInfo& record);
  // Rewrites the queued element with the record's FileName from the record.
  bool UpdateDownloading(const LibDownloadFileInfo& record);
  bool RemoveDownloading(const std::u16string& fileName);
  // The queued records in the order Downloading, DownloadWaiting, Pause, DownloadError (file
  // order within a state); other states are not shown. LocalFullName is rebuilt from the
  // current download folder and LocalFileName (passed through the file-name sanitiser).
  std::vector<LibDownloadFileInfo> LoadDownloading(const std::u16string& downloadFolder);

  // Appends the record to the finished list and numbers its Index children 0, 1, 2 ... An
  // older finished element of the same FileName is replaced, so the list keeps one per file.
  bool AddFinished(const LibDownloadFileInfo& record);
  bool RemoveFinished(const std::u16string& fileName);
  // True when the file is in the finished list and its LocalFullName exists.
  bool IsFinishedAndPresent(const std::u16string& fileName);
  std::vector<LibDownloadFileInfo> LoadFinished();

 private:
  // What tells one version of the file on disk from another.
  struct FileStamp {
    std::uint64_t device = 0;
    std::uint64_t inode = 0;
    std::int64_t size = 0;
    std::int64_t modifiedNs = 0;
    bool operator==(const FileStamp&) const = default;
  };
  std::optional<FileStamp> stampOfFile() const;

  // The file's tree (kept by the store); null when there is no file (or it cannot be read). A
  // corrupt or foreign file is set aside and answered with a fresh tree, already saved.
  TiXmlDocument* load();
  // Saves the tree; the store keeps it when it is the one load() gave and the save succeeded,
  // otherwise the next load reads the file.
  bool save(const TiXmlDocument& document);
  void setAside();
  void log(const std::u16string& line) const;
  std::u16string widePath() const;

  std::string path_;
  const core::ZelkLibBinding& zelkLib_;
  LogSink log_;
  std::unique_ptr<TiXmlDocument> cached_;
  FileStamp cachedStamp_;
};

}  // namespace knowledge
