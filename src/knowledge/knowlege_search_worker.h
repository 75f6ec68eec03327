#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "core/service_context.h"
#include "knowledge/knowlege_result_item_ui.h"
#include "skinui/lib_object_view.h"

namespace knowledge {

// One page of search results as the service answers it.
struct KnowlegeSearchReply {
  std::int32_t pageNumber = 0;
  std::int32_t total = 0;
  std::u16string keys;
  std::vector<KnowlegeSearchResult> results;
};

// The reply of a search; nullopt when it is not JSON or its "result" is not 1.
std::optional<KnowlegeSearchReply> ReadKnowlegeSearchReply(std::string_view replyAnsi);

// One search, built on the window thread and handed to its worker.
struct KnowlegeSearchRequest {
  core::ServiceContext context;
  skinui::CLibObjectView* view = nullptr;  // the window's view: only named in messages
  std::int32_t page = 1;
  std::string listName;
  std::u16string url;
  std::string skinFolder;  // where the rows' layout is read
};

// The worker of one search: disables the pager and shows the loading list, fetches the page,
// posts one row per result (numbered, keys marked) and the pager, and in any case enables the
// pager again and lets the list show its empty picture. Touches no control of the window.
void RunKnowlegeSearch(const KnowlegeSearchRequest& request);

}  // namespace knowledge
