#include "knowledge/download_record.h"

#include <array>
#include <utility>

namespace knowledge {
namespace {

struct StateName {
  DownloadState state;
  std::u16string_view name;
  std::u16string_view digit;
};

// In the order in which a text is compared when it is read back.
constexpr std::array<StateName, 6> kStateNames{{
    {DownloadState::Downloading, u"Downloading", u"0"},
    {DownloadState::Pause, u"Pause", u"2"},
    {DownloadState::DownloadFinish, u"DownloadFinish", u"3"},
    {DownloadState::DownloadError, u"DownloadError", u"4"},
    {DownloadState::DownloadErrorIfNotFoundFile, u"DownloadErrorIfNotFoundFile", u"5"},
    {DownloadState::DownloadWaiting, u"DownloadWaiting", u"1"},
}};

constexpr std::array<std::pair<StoreFileKind, std::u16string_view>, 3> kKindNames{{
    {StoreFileKind::App, u"App"},
    {StoreFileKind::UserProfile, u"UserProfile"},
    {StoreFileKind::Platform, u"Platform"},
}};

}  // namespace

std::u16string DownloadStateToText(DownloadState state) {
  for (const auto& entry : kStateNames) {
    if (entry.state == state) return std::u16string(entry.name);
  }
  return u"DownloadWaiting";
}

DownloadState DownloadStateFromText(std::u16string_view text) {
  for (const auto& entry : kStateNames) {
    if (text == entry.name || text == entry.digit) return entry.state;
  }
  return DownloadState::DownloadWaiting;
}

std::u16string StoreFileKindToText(StoreFileKind kind) {
  for (const auto& [value, name] : kKindNames) {
    if (value == kind) return std::u16string(name);
  }
  return u"Knowlege";
}

StoreFileKind StoreFileKindFromText(std::u16string_view text) {
  for (const auto& [value, name] : kKindNames) {
    if (text == name) return value;
  }
  return StoreFileKind::Knowlege;
}

std::int32_t StoreFileKindWireValue(StoreFileKind kind) {
  switch (kind) {
    case StoreFileKind::App:
    case StoreFileKind::UserProfile:
    case StoreFileKind::Platform:
      return static_cast<std::int32_t>(kind);
    default:
      return 0;
  }
}

}  // namespace knowledge
