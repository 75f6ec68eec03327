#include "devservice/document_search.h"

#include <algorithm>

#include "devservice/text_util.h"

namespace devservice {

namespace {

struct Hit {
  const Document* document = nullptr;
  int termsFound = 0;
  int score = 0;
  std::size_t order = 0;
};

}  // namespace

SearchPage SearchDocuments(const std::vector<Document>& documents, std::int32_t typeId,
                           const std::string& query, std::int32_t page, std::int32_t pageSize) {
  SearchPage result;
  result.page = std::max<std::int32_t>(page, 1);
  for (const std::string& term : SplitTerms(query)) {
    if (std::find(result.keys.begin(), result.keys.end(), term) == result.keys.end()) {
      result.keys.push_back(term);
    }
  }
  std::vector<std::string> lowerKeys;
  for (const std::string& key : result.keys) lowerKeys.push_back(ToLowerAscii(key));

  std::vector<Hit> hits;
  for (std::size_t i = 0; i < documents.size(); ++i) {
    const Document& document = documents[i];
    if (typeId != 0 && document.type != typeId) continue;
    const std::string title = ToLowerAscii(document.title);
    const std::string info = ToLowerAscii(document.info);
    Hit hit{&document, 0, 0, i};
    for (const std::string& key : lowerKeys) {
      const bool inTitle = title.find(key) != std::string::npos;
      const bool inInfo = info.find(key) != std::string::npos;
      if (inTitle || inInfo) ++hit.termsFound;
      hit.score += (inTitle ? 3 : 0) + (inInfo ? 1 : 0);
    }
    if (hit.termsFound > 0) hits.push_back(hit);
  }
  std::stable_sort(hits.begin(), hits.end(), [](const Hit& a, const Hit& b) {
    if (a.termsFound != b.termsFound) return a.termsFound > b.termsFound;
    return a.score > b.score;
  });

  result.total = static_cast<int>(hits.size());
  // 64-bit arithmetic: the page comes from the query and may be as large as int32 allows.
  const std::int64_t first = (static_cast<std::int64_t>(result.page) - 1) * pageSize;
  for (std::int64_t i = first; i < first + pageSize && i < result.total; ++i) {
    result.items.push_back(hits[static_cast<std::size_t>(i)].document);
  }
  return result;
}

}  // namespace devservice
