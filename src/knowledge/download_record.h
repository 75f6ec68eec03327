#pragma once

#include <cstdint>
#include <string>
#include <string_view>

namespace knowledge {

// State of a download record: a 32-bit value in memory, its name in the history file.
enum class DownloadState : std::int32_t {
  Downloading = 0,
  DownloadWaiting = 1,  // the state of every new record
  Pause = 2,
  DownloadFinish = 3,
  DownloadError = 4,
  DownloadErrorIfNotFoundFile = 5,
};

// Store of the file server a file lies in: a 32-bit value in memory and on the wire, its name in
// the history file. The spelling "Knowlege" is the file format's.
enum class StoreFileKind : std::int32_t {
  Knowlege = 0,
  App = 1,
  UserProfile = 2,
  Platform = 3,
};

// One file fetched from the file server. Texts are UTF-16; the history file holds them as UTF-8.
struct LibDownloadFileInfo {
  std::int32_t Index = 0;
  std::int32_t BlockIndex = 0;
  std::u16string DownloadId;
  std::u16string FileName;  // name in the server's store; the key of a record in a list
  StoreFileKind Kind = StoreFileKind::Knowlege;
  std::int32_t FileTotalLength = 0;
  std::int32_t DataBufferLength = 0;
  DownloadState State = DownloadState::DownloadWaiting;
  std::u16string DownloadStateInfo;  // the status line last shown for the record
  bool IsDownloadFinish = false;
  std::u16string LocalFileName;
  std::u16string LocalFullName;

  bool operator==(const LibDownloadFileInfo&) const = default;
};

// Text forms used by every reader and writer of the history file. A state outside 0-5 is written
// as "DownloadWaiting"; a kind outside 1-3 as "Knowlege".
std::u16string DownloadStateToText(DownloadState state);
// The name or the decimal digit of a state; anything else reads as DownloadWaiting.
DownloadState DownloadStateFromText(std::u16string_view text);
std::u16string StoreFileKindToText(StoreFileKind kind);
// "App", "UserProfile", "Platform"; anything else reads as Knowlege.
StoreFileKind StoreFileKindFromText(std::u16string_view text);
// The value a kind travels with in a download request: 1, 2, 3, anything else 0.
std::int32_t StoreFileKindWireValue(StoreFileKind kind);

}  // namespace knowledge
