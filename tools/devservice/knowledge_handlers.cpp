#include "devservice/knowledge_handlers.h"

#include <algorithm>

#include "devservice/document_search.h"
#include "devservice/router.h"
#include "devservice/service_context.h"
#include "devservice/text_util.h"

namespace devservice {

namespace {

constexpr std::int32_t kDefaultPageSize = 10;
constexpr std::int32_t kMaxPageSize = 50;
constexpr std::size_t kMaxQueryBytes = 512;

Json::Value DocumentJson(const Document& document) {
  Json::Value item(Json::objectValue);
  item["title"] = document.title;
  item["info"] = document.info;
  item["filename"] = document.fileName;
  item["downid"] = document.downId;
  item["type"] = document.type;
  item["size"] = Json::Int64(document.sizeBytes);
  item["date"] = document.date;
  return item;
}

Reply Search(const ServiceContext& context, const Request& request) {
  const std::int32_t typeId = request.integer("typeId");
  const auto& types = context.catalogue.documentTypes();
  if (typeId != 0 && std::none_of(types.begin(), types.end(),
                                  [&](const DocumentType& type) { return type.id == typeId; })) {
    throw BadRequest("不支持的资料类型typeId");
  }
  const std::int32_t page = request.optionalInteger("p").value_or(1);
  if (page < 0) throw BadRequest("参数p不是有效的页码");
  const std::int32_t pageSize = request.optionalInteger("count").value_or(kDefaultPageSize);
  if (pageSize < 1 || pageSize > kMaxPageSize) throw BadRequest("参数count应在1到50之间");
  const std::string query = Trim(request.text("q"));
  if (query.size() > kMaxQueryBytes) throw BadRequest("查找内容太长");

  const SearchPage found =
      SearchDocuments(context.catalogue.documents(), typeId, query, page, pageSize);
  Json::Value value(Json::objectValue);
  value["result"] = 1;
  value["pagenum"] = found.page;
  value["total"] = found.total;
  value["keys"] = Join(found.keys, ",");
  value["list"] = Json::Value(Json::arrayValue);
  for (const Document* document : found.items) value["list"].append(DocumentJson(*document));
  return JsonReply(value);
}

// The web page's link carries the service's own query ("downid=1001" or "filename=…"); the
// client lower-cases it before passing it on, so names are matched without regard to case.
Reply GetDown(const ServiceContext& context, const Request& request) {
  const Document* document = nullptr;
  if (const auto downId = request.optionalText("downid")) {
    const auto number = ParseInt32(*downId);
    if (!number) throw BadRequest("参数downid不是有效的数字");
    document = context.catalogue.findDocument(std::to_string(*number));
  } else if (const auto fileName = request.optionalText("filename")) {
    document = context.catalogue.findDocumentByFileName(Trim(*fileName));
  } else {
    throw BadRequest("缺少参数downid");
  }
  if (document == nullptr) throw BadRequest("资料不存在或已被删除");
  Json::Value value(Json::objectValue);
  value["result"] = 1;
  value["list"] = Json::Value(Json::arrayValue);
  value["list"].append(DocumentJson(*document));
  return JsonReply(value);
}

Reply FileServerLiveForm(const ServiceContext& context, const Request& request) {
  if (request.integer("kind") != 3) throw BadRequest("不支持的请求kind");
  const std::int32_t fileKind = request.integer("fileKind");
  if (fileKind < 0 || fileKind > 3) throw BadRequest("不支持的文件类型fileKind");
  const std::string fileName = request.text("fileName");
  if (!IsSafeFileName(fileName)) throw BadRequest("文件名无效");
  const auto address = context.fileServer.get();
  if (!address) throw BadRequest("文件服务器未启动");
  Json::Value value(Json::objectValue);
  value["result"] = 1;
  // "msg" is dialled by number, "msg_ex" by name: a server bound to every interface is
  // reached on loopback, and loopback is named "localhost".
  const bool everyInterface = address->host == "0.0.0.0";
  const bool loopback = everyInterface || address->host == "127.0.0.1";
  const std::string port = std::to_string(address->port);
  value["msg"] = (everyInterface ? std::string("127.0.0.1") : address->host) + ":" + port;
  value["msg_ex"] = (loopback ? std::string("localhost") : address->host) + ":" + port;
  return JsonReply(value);
}

}  // namespace

void AddKnowledgeHandlers(Router& router, ServiceContext& context) {
  router.add("zelk/SearchEngine.aspx", [&context](const Request& request) {
    if (request.optionalText("api").value_or("") != "vqd_soft_list") {
      throw BadRequest("不支持的接口api");
    }
    if (request.optionalText("op").value_or("") == "getdown") return GetDown(context, request);
    return Search(context, request);
  });
  router.add("zelk/FileServerLiveForm.aspx",
             [&context](const Request& request) { return FileServerLiveForm(context, request); });
}

}  // namespace devservice
