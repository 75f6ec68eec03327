#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "devservice/catalogue.h"

namespace devservice {

struct SearchPage {
  std::vector<std::string> keys;  // the terms of the query, for the client's highlighting
  int total = 0;                  // hits over all pages
  std::int32_t page = 1;          // the page returned
  std::vector<const Document*> items;
};

// The knowledge search: the query is split into terms at blanks and commas; a document hits
// when a term occurs in its title or description (Latin letters without regard to case).
// Documents holding more of the terms come first, then title hits before description hits,
// then catalogue order. typeId 0 searches every type. Pages are 1-based; a page past the last
// is empty.
SearchPage SearchDocuments(const std::vector<Document>& documents, std::int32_t typeId,
                           const std::string& query, std::int32_t page, std::int32_t pageSize);

}  // namespace devservice
