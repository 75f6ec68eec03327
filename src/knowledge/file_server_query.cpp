#include "knowledge/file_server_query.h"

#include <climits>
#include <cstdlib>
#include <vector>

#include "net/endpoints.h"
#include "net/json_reply.h"
#include "net/service_requests.h"
#include "net/service_transfer.h"

namespace knowledge {
namespace {

std::vector<std::string> splitAtColon(const std::string& text) {
  std::vector<std::string> parts;
  if (text.empty()) return parts;
  std::size_t start = 0;
  for (;;) {
    const std::size_t colon = text.find(':', start);
    parts.push_back(text.substr(start, colon - start));
    if (colon == std::string::npos) return parts;
    start = colon + 1;
  }
}

// The decimal value at the start of a text, as the port has always been read ("8097abc" is
// 8097); anything that is no port reads as 0, an unknown address.
std::int32_t portOf(const std::string& text) {
  const long value = std::strtol(text.c_str(), nullptr, 10);
  return value > 0 && value <= 65535 ? static_cast<std::int32_t>(value) : 0;
}

}  // namespace

std::optional<FileServerAddress> ParseFileServerReply(std::string_view replyAnsi) {
  const auto reply = net::ParseServiceReply(replyAnsi);
  if (!reply || net::ReplyResult(*reply) != 1) return std::nullopt;
  const auto address = splitAtColon(net::ReplyText(*reply, "msg"));
  if (address.size() < 2) return std::nullopt;
  FileServerAddress result;
  result.ServerIp = address[0];
  result.ServerPort = portOf(address[1]);
  const auto host = splitAtColon(net::ReplyText(*reply, "msg_ex"));
  if (!host.empty()) result.ServerHost = host[0];
  return result;
}

bool QueryFileServer(const core::ZelkLibBinding& lib, StoreFileKind kind,
                     const std::u16string& fileName, FileServerAddress& address) {
  address = FileServerAddress();
  try {
    const auto url = net::ServiceRequestUrl(lib, net::endpoints::kFileServerAddress,
                                            {StoreFileKindWireValue(kind), fileName});
    if (!url) return false;
    std::string reply;
    if (!net::GetServiceContent(lib, *url, reply)) return false;
    const auto parsed = ParseFileServerReply(reply);
    if (!parsed) return false;
    address = *parsed;
    return true;
  } catch (...) {
    return false;
  }
}

FileServerQuery MakeFileServerQuery(const core::ZelkLibBinding& lib) {
  return [&lib](StoreFileKind kind, const std::u16string& fileName, FileServerAddress& address) {
    return QueryFileServer(lib, kind, fileName, address);
  };
}

}  // namespace knowledge
