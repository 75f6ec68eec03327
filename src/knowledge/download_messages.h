#pragma once

#include <cstdint>
#include <string>

#include "core/window_messages.h"
#include "knowledge/download_record.h"

namespace knowledge {

// Payloads of the download engine's messages to its window (numbers in core/window_messages.h:
// WM_DOWNLOAD_STARTED, WM_DOWNLOAD_PROGRESS, WM_DOWNLOAD_ENDED; WM_NETWORK_ERROR carries none).
// Posted by the transfer's worker, owned and freed by whoever handles or drops the message.

struct DownloadStarted {
  std::u16string FileName;
  StoreFileKind Kind = StoreFileKind::Knowlege;
};

struct DownloadProgress {
  std::u16string FileName;
  StoreFileKind Kind = StoreFileKind::Knowlege;
  std::int32_t Total = 0;
  std::int32_t Done = 0;
};

// Results of a transfer. The engine never ends with 4 (DownloadError).
inline constexpr std::int32_t kDownloadResultOther = 0;     // stopped, or failed after all attempts
inline constexpr std::int32_t kDownloadResultFinished = 3;  // DownloadFinish
inline constexpr std::int32_t kDownloadResultNotOnServer = 5;  // DownloadErrorIfNotFoundFile
inline constexpr std::int32_t kDownloadResultNoNetwork = 6;    // ResultNoNetwork

struct DownloadEnded {
  std::u16string FileName;
  StoreFileKind Kind = StoreFileKind::Knowlege;
  std::int32_t Result = kDownloadResultOther;
  std::u16string Reason;  // empty when stopped by the user
};

}  // namespace knowledge
