#include "devservice/reply.h"

#include <json/writer.h>

#include "devservice/text_util.h"
#include "platform/paths.h"

namespace devservice {

std::string ToJsonText(const Json::Value& value) {
  Json::StreamWriterBuilder builder;
  builder["indentation"] = "";
  builder["emitUTF8"] = true;
  return Json::writeString(builder, value);
}

Reply JsonReply(const Json::Value& value) {
  return Reply{200, "application/json; charset=utf-8", ToJsonText(value)};
}

Reply FailureReply(const std::string& message, int status) {
  Json::Value value(Json::objectValue);
  value["result"] = 0;
  value["msg"] = message;
  Reply reply = JsonReply(value);
  reply.status = status;
  return reply;
}

Reply HtmlReply(std::string html, int status) {
  return Reply{status, "text/html; charset=utf-8", std::move(html)};
}

std::string ContentTypeOf(const std::string& path) {
  const auto dot = path.rfind('.');
  const std::string extension = dot == std::string::npos ? "" : ToLowerAscii(path.substr(dot + 1));
  if (extension == "png") return "image/png";
  if (extension == "jpg" || extension == "jpeg") return "image/jpeg";
  if (extension == "gif") return "image/gif";
  if (extension == "css") return "text/css; charset=utf-8";
  if (extension == "js") return "application/javascript; charset=utf-8";
  if (extension == "html" || extension == "htm") return "text/html; charset=utf-8";
  if (extension == "json") return "application/json; charset=utf-8";
  if (extension == "txt") return "text/plain; charset=utf-8";
  if (extension == "zip") return "application/zip";
  return "application/octet-stream";
}

Reply FileReply(const std::string& path) {
  std::string content;
  if (!platform::ReadWholeFile(path, content)) return FailureReply("文件不存在", 404);
  return Reply{200, ContentTypeOf(path), std::move(content)};
}

}  // namespace devservice
