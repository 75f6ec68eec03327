#include <gtest/gtest.h>

#include "devservice/document_search.h"

namespace devservice {
namespace {

std::vector<Document> Library(int count) {
  std::vector<Document> documents;
  for (int i = 0; i < count; ++i) {
    Document document;
    document.downId = std::to_string(1000 + i);
    document.title = "脚手架方案" + std::to_string(i);
    document.info = i % 2 == 0 ? "落地式" : "悬挑式";
    document.type = i % 3 == 0 ? 5 : 2;
    document.fileName = document.downId + ".docx";
    documents.push_back(document);
  }
  return documents;
}

std::vector<std::string> Ids(const SearchPage& page) {
  std::vector<std::string> ids;
  for (const Document* document : page.items) ids.push_back(document->downId);
  return ids;
}

TEST(DocumentSearch, PagesAreTenAtATimeAndAPagePastTheEndIsEmpty) {
  const auto library = Library(25);
  const SearchPage third = SearchDocuments(library, 0, "脚手架", 3, 10);
  EXPECT_EQ(third.total, 25);
  EXPECT_EQ(third.page, 3);
  EXPECT_EQ(Ids(third), (std::vector<std::string>{"1020", "1021", "1022", "1023", "1024"}));
  EXPECT_EQ(SearchDocuments(library, 0, "脚手架", 1, 10).items.size(), 10u);
  const SearchPage past = SearchDocuments(library, 0, "脚手架", 2147483647, 10);
  EXPECT_EQ(past.total, 25);
  EXPECT_TRUE(past.items.empty());
  EXPECT_EQ(SearchDocuments(library, 0, "脚手架", 0, 10).page, 1) << "page 0 is page 1";
}

TEST(DocumentSearch, TypeFiltersAndZeroMeansEveryType) {
  const auto library = Library(9);
  EXPECT_EQ(SearchDocuments(library, 5, "脚手架", 1, 10).total, 3);
  EXPECT_EQ(SearchDocuments(library, 2, "脚手架", 1, 10).total, 6);
  EXPECT_EQ(SearchDocuments(library, 0, "脚手架", 1, 10).total, 9);
  EXPECT_EQ(SearchDocuments(library, 4, "脚手架", 1, 10).total, 0);
}

TEST(DocumentSearch, DocumentsHoldingMoreTermsComeFirstAndKeysAreTheTerms) {
  std::vector<Document> library = Library(4);
  library[3].info = "悬挑式 计算书";
  const SearchPage page = SearchDocuments(library, 0, "计算书 悬挑式，计算书", 1, 10);
  EXPECT_EQ(page.keys, (std::vector<std::string>{"计算书", "悬挑式"}));
  EXPECT_EQ(Ids(page), (std::vector<std::string>{"1003", "1001"}));
}

TEST(DocumentSearch, TitleHitsRankAboveDescriptionHitsAndLatinIgnoresCase) {
  std::vector<Document> library = Library(3);
  library[0].info = "依据 JGJ 130 编制";
  library[2].title = "jgj 130 条文说明";
  const SearchPage page = SearchDocuments(library, 0, "JGJ", 1, 10);
  EXPECT_EQ(Ids(page), (std::vector<std::string>{"1002", "1000"}));
  EXPECT_EQ(page.keys, (std::vector<std::string>{"JGJ"}));
  EXPECT_EQ(SearchDocuments(library, 0, "混凝土", 1, 10).total, 0);
}

}  // namespace
}  // namespace devservice
