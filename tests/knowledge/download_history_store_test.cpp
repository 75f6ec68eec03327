#include "knowledge/download_history_store.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>
#include <vector>

#include "platform/code_page.h"
#include "platform/dynamic_library.h"
#include "support/temp_dir.h"

namespace knowledge {
namespace {

std::string fixture(const std::string& name) {
  const char* fromEnvironment = std::getenv("ZELK_TEST_DATA");
  const std::string root = fromEnvironment != nullptr ? fromEnvironment : ZELK_SOURCE_TEST_DATA;
  std::ifstream in(root + "/knowledge/" + name, std::ios::binary);
  EXPECT_TRUE(in) << name;
  std::ostringstream buffer;
  buffer << in.rdbuf();
  return buffer.str();
}

std::vector<std::u16string> fileNames(const std::vector<LibDownloadFileInfo>& records) {
  std::vector<std::u16string> names;
  for (const auto& record : records) names.push_back(record.FileName);
  return names;
}

LibDownloadFileInfo knowledgeRecord(const std::u16string& id, const std::u16string& fileName,
                                    const std::u16string& localName) {
  LibDownloadFileInfo record;
  record.DownloadId = id;
  record.FileName = fileName;
  record.LocalFileName = localName;
  record.LocalFullName = u"/data/Downloads/Knowlege/" + localName;
  return record;
}

class DownloadHistoryStoreTest : public ::testing::Test {
 protected:
  std::string historyPath() const { return temp.file("app/DownloadHistory.xml"); }
  // What the store saved, once its writer is done.
  std::string historyText() {
    store.Flush();
    return temp.read("app/DownloadHistory.xml");
  }
  // A change behind the store's back, after its own saves.
  void writeHistory(const std::string& text) {
    store.Flush();
    temp.write("app/DownloadHistory.xml", text);
  }
  bool exists(const std::string& relative) const {
    return std::filesystem::exists(temp.file(relative));
  }

  testing_support::TempDir temp;
  core::ZelkLibBinding zelkLib{platform::DynamicLibrary::open(ZELK_REAL_LIBRARY)};
  std::vector<std::string> logLines;
  DownloadHistoryStore store{historyPath(), zelkLib,
                             [this](const std::string& line) { logLines.push_back(line); }};
};

TEST_F(DownloadHistoryStoreTest, RunsAgainstTheRealLibrary) {
  ASSERT_TRUE(zelkLib.loaded());
}

TEST_F(DownloadHistoryStoreTest, EnsureCreatesFoldersAndTheEmptyTree) {
  store.EnsureHistoryFile();
  EXPECT_EQ(historyText(), fixture("history_empty.xml"));
}

TEST_F(DownloadHistoryStoreTest, EnsureLeavesAnExistingFileAlone) {
  writeHistory(fixture("history_hand_edited.xml"));
  store.EnsureHistoryFile();
  EXPECT_EQ(historyText(), fixture("history_hand_edited.xml"));
}

TEST_F(DownloadHistoryStoreTest, WritesTheDocumentedTreeByteForByte) {
  store.EnsureHistoryFile();
  const auto a = knowledgeRecord(u"101", u"kb/混凝土施工规范.pdf", u"混凝土施工规范.pdf");
  auto b = knowledgeRecord(u"102", u"kb/R&D <notes> \"v2\".doc", u"R_D <notes> \"v2\".doc");
  auto c = knowledgeRecord(u"103", u"kb/c.xls", u"c.xls");
  auto d = knowledgeRecord(u"104", u"kb/d  two  spaces .txt", u"d  two  spaces .txt");
  EXPECT_TRUE(store.AddDownloading(a));
  EXPECT_TRUE(store.AddDownloading(b));
  b.State = DownloadState::Pause;
  b.DownloadStateInfo = u"已暂停";
  b.Index = 9;  // the queue always writes 0
  EXPECT_TRUE(store.UpdateDownloading(b));
  c.State = d.State = DownloadState::DownloadFinish;
  c.Index = 7;  // renumbered
  EXPECT_TRUE(store.AddFinished(c));
  EXPECT_TRUE(store.AddFinished(d));
  auto finishedA = a;
  finishedA.State = DownloadState::DownloadFinish;
  EXPECT_TRUE(store.AddFinished(finishedA));
  EXPECT_TRUE(store.RemoveDownloading(a.FileName));
  EXPECT_EQ(historyText(), fixture("history_after_operations.xml"));
  EXPECT_TRUE(logLines.empty());
}

TEST_F(DownloadHistoryStoreTest, TextsSurviveTheRoundTripExactly) {
  store.EnsureHistoryFile();
  auto record = knowledgeRecord(u"id&<>\"'", u"  two  spaces\tand\nbreak  ", u"本地 文件.pdf");
  record.DownloadStateInfo = u"下载状态:文件大小:5.00M - 下载进度:20.00%";
  record.BlockIndex = -5;
  record.FileTotalLength = 2147483647;
  record.DataBufferLength = -1;
  record.Kind = StoreFileKind::Platform;
  ASSERT_TRUE(store.AddDownloading(record));
  EXPECT_TRUE(store.IsDownloading(record.FileName));
  EXPECT_FALSE(store.IsDownloading(u"two spaces\tand\nbreak"));
  const auto loaded = store.LoadDownloading(u"/data/Downloads/Knowlege");
  ASSERT_EQ(loaded.size(), 1u);
  EXPECT_EQ(loaded[0], record);
}

TEST_F(DownloadHistoryStoreTest, TextsLookingLikeReferencesCannotBreakOrExtendTheFile) {
  store.EnsureHistoryFile();
  // Texts that look like character references or markup must come back as they were.
  auto record = knowledgeRecord(u"&#x41;", u"kb/&#x</FileName><DownloadState>Pause;x", u"a&#x");
  record.DownloadStateInfo = u"&#x26;&#xZZ;&#x";
  ASSERT_TRUE(store.AddDownloading(record));
  ASSERT_TRUE(store.AddFinished(record));
  const auto queued = store.LoadDownloading(u"/data/Downloads/Knowlege");
  ASSERT_EQ(queued.size(), 1u);
  EXPECT_EQ(queued[0], record);
  const auto finished = store.LoadFinished();
  ASSERT_EQ(finished.size(), 1u);
  EXPECT_EQ(finished[0].FileName, record.FileName);
  EXPECT_EQ(finished[0].DownloadId, u"&#x41;");
  EXPECT_TRUE(store.RemoveDownloading(record.FileName));
  EXPECT_TRUE(logLines.empty());
}

TEST_F(DownloadHistoryStoreTest, SavesRewriteOddContentInTheDocumentedForm) {
  // A declaration TinyXML accepts but prints back unreadable, a comment, an attribute and a
  // stray element: none of it may make the next save unreadable.
  writeHistory(fixture("history_odd_content.xml"));
  ASSERT_TRUE(store.AddDownloading(knowledgeRecord(u"1", u"kb/a", u"a")));
  ASSERT_TRUE(store.RemoveDownloading(u"kb/a"));
  EXPECT_EQ(historyText(), fixture("history_empty.xml"));
  EXPECT_FALSE(exists("app/DownloadHistory.xml.bad"));
}

TEST_F(DownloadHistoryStoreTest, SavesWriteUtf8AndOnlyTheKnownFields) {
  // Written by another program: GBK bytes in a text and a child of its own.
  writeHistory(fixture("history_foreign_bytes.xml"));
  ASSERT_TRUE(store.AddDownloading(knowledgeRecord(u"1", u"kb/a", u"a")));
  const std::string text = historyText();
  EXPECT_EQ(text.find("<Extra>"), std::string::npos);
  EXPECT_NE(text.find("<FileName>kb/\xEF\xBF\xBD"), std::string::npos);  // U+FFFD
  const auto queued = store.LoadDownloading(u"/f");
  ASSERT_EQ(queued.size(), 2u);
  EXPECT_EQ(queued[0].LocalFileName, u"gbk.pdf");
  EXPECT_FALSE(exists("app/DownloadHistory.xml.bad"));
}

TEST_F(DownloadHistoryStoreTest, QueueHoldsOneRecordPerFileName) {
  store.EnsureHistoryFile();
  const auto record = knowledgeRecord(u"1", u"kb/a.pdf", u"a.pdf");
  EXPECT_TRUE(store.AddDownloading(record));
  const std::string once = historyText();
  EXPECT_FALSE(store.AddDownloading(record));
  EXPECT_EQ(historyText(), once);
}

TEST_F(DownloadHistoryStoreTest, ThreeFinishedDownloadsAreNumberedInOrder) {
  store.EnsureHistoryFile();
  for (const char16_t* name : {u"x", u"y", u"z"}) {
    auto record = knowledgeRecord(u"1", name, u"f");
    record.Index = 42;
    ASSERT_TRUE(store.AddFinished(record));
  }
  const auto finished = store.LoadFinished();
  ASSERT_EQ(finished.size(), 3u);
  EXPECT_EQ(finished[0].Index, 0);
  EXPECT_EQ(finished[1].Index, 1);
  EXPECT_EQ(finished[2].Index, 2);
  EXPECT_TRUE(finished[2].IsDownloadFinish);
  // Removing the first leaves the numbers as they were until the next addition renumbers.
  ASSERT_TRUE(store.RemoveFinished(u"x"));
  ASSERT_TRUE(store.AddFinished(knowledgeRecord(u"2", u"w", u"g")));
  const auto after = store.LoadFinished();
  ASSERT_EQ(fileNames(after), (std::vector<std::u16string>{u"y", u"z", u"w"}));
  EXPECT_EQ(after[0].Index, 0);
  EXPECT_EQ(after[2].Index, 2);
}

TEST_F(DownloadHistoryStoreTest, AFileFinishedAgainReplacesItsOlderEntry) {
  store.EnsureHistoryFile();
  ASSERT_TRUE(store.AddFinished(knowledgeRecord(u"1", u"kb/a", u"old.pdf")));
  ASSERT_TRUE(store.AddFinished(knowledgeRecord(u"2", u"kb/b", u"b.pdf")));
  ASSERT_TRUE(store.AddFinished(knowledgeRecord(u"3", u"kb/a", u"new.pdf")));
  const auto finished = store.LoadFinished();
  ASSERT_EQ(fileNames(finished), (std::vector<std::u16string>{u"kb/b", u"kb/a"}));
  EXPECT_EQ(finished[1].LocalFileName, u"new.pdf");
  EXPECT_EQ(finished[1].Index, 1);
}

TEST_F(DownloadHistoryStoreTest, LoadDownloadingGroupsByStateAndSkipsTheRest) {
  writeHistory(fixture("history_hand_edited.xml"));
  const auto queued = store.LoadDownloading(u"/new/folder");
  EXPECT_EQ(fileNames(queued),
            (std::vector<std::u16string>{u"run1", u"w1", u"w2", u"w3", u"p1", u"p2", u"err1"}));
  EXPECT_EQ(queued[0].State, DownloadState::Downloading);  // "0"
  EXPECT_EQ(queued[4].State, DownloadState::Pause);
  EXPECT_EQ(queued[5].State, DownloadState::Pause);  // "2"
  EXPECT_EQ(queued[5].DownloadStateInfo, u"");       // no child: empty
  EXPECT_EQ(queued[4].DownloadStateInfo, u"info of p1");
  EXPECT_EQ(queued[1].State, DownloadState::DownloadWaiting);  // "7"
  EXPECT_EQ(queued[3].State, DownloadState::DownloadWaiting);  // "pause"
  EXPECT_EQ(queued[0].BlockIndex, 3);
  EXPECT_EQ(queued[0].DataBufferLength, 4096);
  EXPECT_EQ(queued[0].DownloadId, u"id-run1");
  // The reading operations leave the file as it was.
  EXPECT_EQ(historyText(), fixture("history_hand_edited.xml"));
}

TEST_F(DownloadHistoryStoreTest, LoadDownloadingRebuildsPathsInTheCurrentFolder) {
  writeHistory(fixture("history_hand_edited.xml"));
  const auto queued = store.LoadDownloading(u"/new/folder/");
  ASSERT_GE(queued.size(), 3u);
  EXPECT_EQ(queued[0].LocalFullName, u"/new/folder/run1.pdf");
  // A name edited to climb out of the folder stays inside it.
  EXPECT_EQ(queued[2].FileName, u"w2");
  EXPECT_EQ(queued[2].LocalFullName, u"/new/folder/.._.._escape.pdf");
  // A name that is no file name at all ("..") is not queued; the log says so.
  for (const auto& record : queued) EXPECT_NE(record.FileName, u"dots");
  ASSERT_EQ(logLines.size(), 1u);
  EXPECT_NE(logLines[0].find("dots"), std::string::npos);
  // The finished list keeps the paths it was written with.
  const auto finished = store.LoadFinished();
  EXPECT_EQ(fileNames(finished), (std::vector<std::u16string>{u"old-a", u"old-c"}));
  EXPECT_EQ(finished[0].LocalFullName, u"/old/folder/old-a.pdf");
  EXPECT_EQ(finished[1].FileTotalLength, 123456);
  EXPECT_EQ(finished[1].State, DownloadState::DownloadFinish);
}

TEST_F(DownloadHistoryStoreTest, UpdateWritesTheElementInFull) {
  writeHistory(fixture("history_hand_edited.xml"));
  auto record = knowledgeRecord(u"id-p2", u"p2", u"p2.pdf");
  record.State = DownloadState::DownloadError;
  record.DownloadStateInfo = u"下载失败";
  ASSERT_TRUE(store.UpdateDownloading(record));
  const auto queued = store.LoadDownloading(u"/f");
  ASSERT_FALSE(queued.empty());
  EXPECT_EQ(queued.back().FileName, u"p2");
  EXPECT_EQ(queued.back().DownloadStateInfo, u"下载失败");
  EXPECT_EQ(queued.back().BlockIndex, 0);
  EXPECT_FALSE(store.UpdateDownloading(knowledgeRecord(u"x", u"not-queued", u"n")));
}

TEST_F(DownloadHistoryStoreTest, RemoveStopsAtTheFirstMatch) {
  store.EnsureHistoryFile();
  // Two entries of one name can only come from a file written elsewhere.
  std::string text = fixture("history_empty.xml");
  const std::string entry =
      "<LibDownloadFileInfo><Index>0</Index><BlockIndex>0</BlockIndex><DownloadId>%</DownloadId>"
      "<FileName>same</FileName><StoreFileKind>Knowlege</StoreFileKind><FileTotalLength>0"
      "</FileTotalLength><DataBufferLength>0</DataBufferLength><DownloadState>Pause"
      "</DownloadState><IsDownloadFinish>false</IsDownloadFinish><LocalFileName>s"
      "</LocalFileName><LocalFullName>/s</LocalFullName></LibDownloadFileInfo>";
  std::string first = entry, second = entry;
  first.replace(first.find('%'), 1, "first");
  second.replace(second.find('%'), 1, "second");
  text.replace(text.find("<DownloadingList />"), 19,
               "<DownloadingList>" + first + second + "</DownloadingList>");
  writeHistory(text);
  ASSERT_TRUE(store.RemoveDownloading(u"same"));
  const auto queued = store.LoadDownloading(u"/f");
  ASSERT_EQ(queued.size(), 1u);
  EXPECT_EQ(queued[0].DownloadId, u"second");
}

TEST_F(DownloadHistoryStoreTest, IsFinishedAndPresentNeedsTheLocalFile) {
  store.EnsureHistoryFile();
  const std::string local = temp.write("dl/a.pdf", "content");
  auto record = knowledgeRecord(u"1", u"kb/a.pdf", u"a.pdf");
  record.LocalFullName = platform::Utf8ToUtf16(local);
  ASSERT_TRUE(store.AddFinished(record));
  EXPECT_TRUE(store.IsFinishedAndPresent(u"kb/a.pdf"));
  EXPECT_FALSE(store.IsFinishedAndPresent(u"kb/b.pdf"));
  std::filesystem::remove(local);
  EXPECT_FALSE(store.IsFinishedAndPresent(u"kb/a.pdf"));
}

TEST_F(DownloadHistoryStoreTest, WithoutTheFileEveryOperationDoesNothing) {
  const auto record = knowledgeRecord(u"1", u"kb/a.pdf", u"a.pdf");
  EXPECT_FALSE(store.IsDownloading(record.FileName));
  EXPECT_FALSE(store.AddDownloading(record));
  EXPECT_FALSE(store.UpdateDownloading(record));
  EXPECT_FALSE(store.RemoveDownloading(record.FileName));
  EXPECT_TRUE(store.LoadDownloading(u"/f").empty());
  EXPECT_FALSE(store.AddFinished(record));
  EXPECT_FALSE(store.RemoveFinished(record.FileName));
  EXPECT_FALSE(store.IsFinishedAndPresent(record.FileName));
  EXPECT_TRUE(store.LoadFinished().empty());
  EXPECT_FALSE(exists("app"));
}

TEST_F(DownloadHistoryStoreTest, WithoutTheLibraryTheStoreDoesNothing) {
  const core::ZelkLibBinding noLibrary;
  DownloadHistoryStore blind(historyPath(), noLibrary, {});
  writeHistory(fixture("history_hand_edited.xml"));
  EXPECT_TRUE(blind.LoadDownloading(u"/f").empty());
  EXPECT_FALSE(blind.IsDownloading(u"p1"));
}

TEST_F(DownloadHistoryStoreTest, AMissingListIsMadeWhenARecordIsAdded) {
  writeHistory(fixture("history_without_lists.xml"));
  EXPECT_TRUE(store.LoadDownloading(u"/f").empty());
  EXPECT_FALSE(store.IsDownloading(u"a"));
  EXPECT_FALSE(store.RemoveFinished(u"a"));
  EXPECT_EQ(historyText(), fixture("history_without_lists.xml"));
  ASSERT_TRUE(store.AddDownloading(knowledgeRecord(u"1", u"a", u"a")));
  ASSERT_TRUE(store.AddFinished(knowledgeRecord(u"2", u"b", u"b")));
  const std::string text = historyText();
  EXPECT_LT(text.find("<HasDownloadList>"), text.find("<DownloadingList>"));
  EXPECT_TRUE(store.IsDownloading(u"a"));

  writeHistory(fixture("history_without_downloading_list.xml"));
  ASSERT_TRUE(store.AddDownloading(knowledgeRecord(u"1", u"a", u"a")));
  EXPECT_LT(historyText().find("<HasDownloadList />"), historyText().find("<DownloadingList>"));
}

TEST_F(DownloadHistoryStoreTest, EveryChangeReachesTheDiskBeforeTheStoreGoes) {
  {
    DownloadHistoryStore brief(historyPath(), zelkLib, {});
    brief.EnsureHistoryFile();
    for (int i = 0; i < 50; ++i) {
      const std::u16string name = u"kb/" + platform::Utf8ToUtf16(std::to_string(i));
      ASSERT_TRUE(brief.AddDownloading(knowledgeRecord(u"1", name, u"n")));
      ASSERT_TRUE(brief.IsDownloading(name));
    }
  }
  EXPECT_EQ(store.LoadDownloading(u"/f").size(), 50u);
}

class BrokenHistoryTest : public DownloadHistoryStoreTest,
                          public ::testing::WithParamInterface<const char*> {};

TEST_P(BrokenHistoryTest, IsSetAsideAndAFreshFileStarted) {
  const std::string broken = GetParam()[0] == '\0' ? std::string() : fixture(GetParam());
  writeHistory(broken);
  EXPECT_FALSE(store.IsDownloading(u"anything"));
  EXPECT_EQ(temp.read("app/DownloadHistory.xml.bad"), broken);
  EXPECT_EQ(historyText(), fixture("history_empty.xml"));
  ASSERT_EQ(logLines.size(), 1u);
  EXPECT_NE(logLines[0].find("DownloadHistory.xml.bad"), std::string::npos);
  // The operation that met the broken file goes on with the fresh one.
  writeHistory(broken);
  EXPECT_TRUE(store.AddDownloading(knowledgeRecord(u"1", u"kb/a", u"a")));
  EXPECT_TRUE(store.IsDownloading(u"kb/a"));
}

INSTANTIATE_TEST_SUITE_P(Files, BrokenHistoryTest,
                         ::testing::Values("broken_truncated.xml", "broken_foreign_root.xml",
                                           "broken_not_xml.xml", ""));

}  // namespace
}  // namespace knowledge
