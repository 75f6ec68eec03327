#include "knowledge/knowlege_search_worker.h"

#include <exception>
#include <memory>

#include "core/app_log.h"
#include "core/window_messages.h"
#include "core/window_payloads.h"
#include "knowledge/search_result_text.h"
#include "net/json_reply.h"
#include "net/service_transfer.h"
#include "net/text_conversion.h"

namespace knowledge {
namespace {

std::u16string TextOf(const Json::Value& object, const char* key) {
  return net::AnsiToWide(net::ReplyText(object, key));
}

void PostViewEnable(const KnowlegeSearchRequest& request, bool enable) {
  request.context.postToMainWindow(core::WM_VIEW_ENABLE,
                                   platform::Payload::make<core::ViewEnablePayload>(
                                       core::ViewEnablePayload{request.view, enable}));
}

void PostLoading(const KnowlegeSearchRequest& request, bool loading) {
  request.context.postToMainWindow(core::WM_LIST_SHOW_LOADING,
                                   platform::Payload::make<core::ListLoadingPayload>(
                                       core::ListLoadingPayload{request.listName, loading}));
}

// Steps 2 to 5: the fetch and its rows. True when no reply came.
bool FetchAndPostRows(const KnowlegeSearchRequest& request) {
  const core::ZelkLibBinding& lib = request.context.binding();
  std::string reply;
  if (!net::GetServiceContent(lib, request.url, reply)) {
    if (!net::CanVisitInternet(lib)) request.context.postToMainWindow(core::WM_NETWORK_ERROR);
    PostLoading(request, false);
    return true;
  }
  if (std::optional<KnowlegeSearchReply> page = ReadKnowlegeSearchReply(reply)) {
    const std::vector<std::u16string> keys = SplitSearchKeys(page->keys);
    const auto log = [&lib](const std::string& line) { core::WriteLog(lib, line); };
    for (std::size_t i = 0; i < page->results.size(); ++i) {
      const int index = static_cast<int>(i);
      auto row = std::make_unique<CKnowlegeResultItemUI>(request.skinFolder, log);
      const std::u16string numbered =
          NumberedTitle(page->pageNumber, index, page->results[i].title);
      row->Initialize(std::move(page->results[i]), numbered, keys, index);
      request.context.postToMainWindow(
          core::WM_LIST_ADD_ITEM, platform::Payload::make<core::ListItemPayload>(
                                      core::ListItemPayload{request.listName, std::move(row)}));
    }
    request.context.postToMainWindow(
        core::WM_VIEW_SET_PAGER,
        platform::Payload::make<core::ViewPagerPayload>(core::ViewPagerPayload{
            request.view, page->pageNumber, SearchPageCount(page->total), page->total}));
  }
  PostLoading(request, false);
  return false;
}

}  // namespace

std::optional<KnowlegeSearchReply> ReadKnowlegeSearchReply(std::string_view replyAnsi) {
  const std::optional<Json::Value> json = net::ParseServiceReply(replyAnsi);
  if (!json || net::ReplyResult(*json) != 1) return std::nullopt;
  KnowlegeSearchReply reply;
  reply.pageNumber = net::ReplyInt(*json, "pagenum");
  reply.total = net::ReplyInt(*json, "total");
  reply.keys = TextOf(*json, "keys");
  const Json::Value& list = (*json)["list"];
  if (!list.isArray()) return reply;
  for (const Json::Value& item : list) {
    if (!item.isObject()) continue;
    reply.results.push_back({TextOf(item, "title"), TextOf(item, "info"), TextOf(item, "filename"),
                             TextOf(item, "downid"), net::ReplyInt(item, "type")});
  }
  return reply;
}

void RunKnowlegeSearch(const KnowlegeSearchRequest& request) {
  bool networkFailure = false;
  try {
    PostViewEnable(request, false);
    PostLoading(request, true);
    networkFailure = FetchAndPostRows(request);
  } catch (const std::exception& e) {
    core::WriteLog(request.context.binding(), std::string("资料搜索出现异常:") + e.what());
  }
  PostViewEnable(request, true);
  request.context.postToMainWindow(
      core::WM_LIST_EMPTY_IMAGE,
      platform::Payload::make<core::ListEmptyImagePayload>(
          core::ListEmptyImagePayload{request.listName, networkFailure}));
}

}  // namespace knowledge
