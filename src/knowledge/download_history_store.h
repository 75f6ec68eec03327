#pragma once

#include <cstdint>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "core/zelk_lib_binding.h"
#include "knowledge/download_history_xml.h"
#include "knowledge/download_record.h"
#include "knowledge/history_file_writer.h"
#include "knowledge/log_sink.h"

namespace knowledge {

// DownloadHistory.xml: the queue of unfinished knowledge downloads and the list of finished
// ones. The store keeps the file's tree in memory; a change is made there and the whole file is
// then saved through a temporary file and a rename by a writer thread, so that the window thread
// does not wait for the disk while a history of thousands of records is written. While saves
// are under way the tree in memory is the history; afterwards the file is still that one (same
// file, size and modification time) unless it was changed behind the program's back, and then
// it is read anew. All operations run on the window thread.
//
// Every operation but EnsureHistoryFile does nothing (false, an empty list) when the file does
// not exist. A file that is no XML or not a history file is renamed to "<name>.bad", a log
// line says so, and a fresh file takes its place, instead of being overwritten blind. A failed
// save is logged at the next operation, which then reads the file as it is; the operation that
// made the change has gone on as if it had succeeded.
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

  // Moves a finished download from the queue to the finished list (AddFinished, then
  // RemoveDownloading) with one save.
  bool CompleteDownloading(const LibDownloadFileInfo& record);
  // Appends the record to the finished list and numbers its Index children 0, 1, 2 ... An
  // older finished element of the same FileName is replaced, so the list keeps one per file.
  bool AddFinished(const LibDownloadFileInfo& record);
  bool RemoveFinished(const std::u16string& fileName);
  // True when the file is in the finished list and its LocalFullName exists.
  bool IsFinishedAndPresent(const std::u16string& fileName);
  std::vector<LibDownloadFileInfo> LoadFinished();

  // Waits until every change so far is on disk (or its save failed).
  void Flush();

 private:
  // The file's tree (kept by the store); null when there is no file (or it cannot be read). A
  // corrupt or foreign file is set aside and answered with a fresh tree, already saved.
  TiXmlDocument* load();
  // Hands the kept tree to the writer.
  bool save();
  // Saves a tree other than the kept one at once; the next load reads the file.
  void saveNow(const TiXmlDocument& document);
  // Takes note of the saves that ended since the last look: logs failures, and keeps the tree
  // only when the newest save succeeded.
  void noteEndedSaves();
  void setAside();
  void log(const std::u16string& line) const;
  std::u16string widePath() const;

  std::string path_;
  const core::ZelkLibBinding& zelkLib_;
  LogSink log_;
  std::unique_ptr<TiXmlDocument> cached_;
  FileStamp cachedStamp_;
  std::size_t lastSize_ = 0;  // of the last save, to make room for the next one at once
  std::uint64_t notedSaves_ = 0;
  std::uint64_t notedFailures_ = 0;
  // Last, so that it writes what waits before the rest of the store goes.
  HistoryFileWriter writer_;
};

}  // namespace knowledge
