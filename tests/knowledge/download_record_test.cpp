#include "knowledge/download_record.h"

#include <gtest/gtest.h>

namespace knowledge {
namespace {

TEST(DownloadStateText, WritesTheNameOfEachState) {
  EXPECT_EQ(DownloadStateToText(DownloadState::Downloading), u"Downloading");
  EXPECT_EQ(DownloadStateToText(DownloadState::DownloadWaiting), u"DownloadWaiting");
  EXPECT_EQ(DownloadStateToText(DownloadState::Pause), u"Pause");
  EXPECT_EQ(DownloadStateToText(DownloadState::DownloadFinish), u"DownloadFinish");
  EXPECT_EQ(DownloadStateToText(DownloadState::DownloadError), u"DownloadError");
  EXPECT_EQ(DownloadStateToText(DownloadState::DownloadErrorIfNotFoundFile),
            u"DownloadErrorIfNotFoundFile");
}

TEST(DownloadStateText, WritesAValueOutOfRangeAsWaiting) {
  EXPECT_EQ(DownloadStateToText(static_cast<DownloadState>(6)), u"DownloadWaiting");
  EXPECT_EQ(DownloadStateToText(static_cast<DownloadState>(-1)), u"DownloadWaiting");
}

TEST(DownloadStateText, ReadsNamesAndDigits) {
  EXPECT_EQ(DownloadStateFromText(u"Downloading"), DownloadState::Downloading);
  EXPECT_EQ(DownloadStateFromText(u"0"), DownloadState::Downloading);
  EXPECT_EQ(DownloadStateFromText(u"Pause"), DownloadState::Pause);
  EXPECT_EQ(DownloadStateFromText(u"2"), DownloadState::Pause);
  EXPECT_EQ(DownloadStateFromText(u"3"), DownloadState::DownloadFinish);
  EXPECT_EQ(DownloadStateFromText(u"DownloadError"), DownloadState::DownloadError);
  EXPECT_EQ(DownloadStateFromText(u"4"), DownloadState::DownloadError);
  EXPECT_EQ(DownloadStateFromText(u"DownloadErrorIfNotFoundFile"),
            DownloadState::DownloadErrorIfNotFoundFile);
  EXPECT_EQ(DownloadStateFromText(u"5"), DownloadState::DownloadErrorIfNotFoundFile);
}

TEST(DownloadStateText, ReadsEverythingElseAsWaiting) {
  EXPECT_EQ(DownloadStateFromText(u"7"), DownloadState::DownloadWaiting);
  EXPECT_EQ(DownloadStateFromText(u""), DownloadState::DownloadWaiting);
  EXPECT_EQ(DownloadStateFromText(u"pause"), DownloadState::DownloadWaiting);
  EXPECT_EQ(DownloadStateFromText(u" 2"), DownloadState::DownloadWaiting);
  EXPECT_EQ(DownloadStateFromText(u"DownloadErrorX"), DownloadState::DownloadWaiting);
}

TEST(StoreFileKindText, WritesNamesAndKnowlegeForUnknownValues) {
  EXPECT_EQ(StoreFileKindToText(StoreFileKind::Knowlege), u"Knowlege");
  EXPECT_EQ(StoreFileKindToText(StoreFileKind::App), u"App");
  EXPECT_EQ(StoreFileKindToText(StoreFileKind::UserProfile), u"UserProfile");
  EXPECT_EQ(StoreFileKindToText(StoreFileKind::Platform), u"Platform");
  EXPECT_EQ(StoreFileKindToText(static_cast<StoreFileKind>(9)), u"Knowlege");
}

TEST(StoreFileKindText, ReadsNamesOnly) {
  EXPECT_EQ(StoreFileKindFromText(u"App"), StoreFileKind::App);
  EXPECT_EQ(StoreFileKindFromText(u"UserProfile"), StoreFileKind::UserProfile);
  EXPECT_EQ(StoreFileKindFromText(u"Platform"), StoreFileKind::Platform);
  EXPECT_EQ(StoreFileKindFromText(u"1"), StoreFileKind::Knowlege);
  EXPECT_EQ(StoreFileKindFromText(u"Knowledge"), StoreFileKind::Knowlege);
}

TEST(StoreFileKindWire, SendsUnknownKindsAsZero) {
  EXPECT_EQ(StoreFileKindWireValue(StoreFileKind::Knowlege), 0);
  EXPECT_EQ(StoreFileKindWireValue(StoreFileKind::App), 1);
  EXPECT_EQ(StoreFileKindWireValue(StoreFileKind::UserProfile), 2);
  EXPECT_EQ(StoreFileKindWireValue(StoreFileKind::Platform), 3);
  EXPECT_EQ(StoreFileKindWireValue(static_cast<StoreFileKind>(4)), 0);
  EXPECT_EQ(StoreFileKindWireValue(static_cast<StoreFileKind>(-1)), 0);
}

}  // namespace
}  // namespace knowledge
