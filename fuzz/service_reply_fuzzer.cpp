// Feeds arbitrary text to the client's reading of a service reply: the JSON parse, then every
// reader a caller applies to the result, on the reply itself, on each of its members and on
// the keys the client asks for. Readers must never raise (a jsoncpp assertion is an exception)
// and "result" must read as 1 only when the service wrote the number 1.

#include <json/value.h>

#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string>
#include <string_view>

#include "net/json_reply.h"

namespace {

constexpr const char* kKeysTheClientReads[] = {"result", "msg", "msg_ex", "data",  "list",
                                               "total",  "uid", "sign",   "count", "id"};

void readEveryWay(const Json::Value& value, const char* key) {
  net::ReplyResult(value);
  net::ReplyText(value, key, "fallback");
  const std::int32_t fallback = -424242;
  const std::int32_t number = net::ReplyInt(value, key, fallback);
  // A number read from a member that is not a number, a decimal text or a boolean is wrong.
  if (number != fallback && value.isObject()) {
    const Json::Value& member = value[key];
    if (!member.isNumeric() && !member.isString()) std::abort();
  }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  const std::string_view text(reinterpret_cast<const char*>(data), size);
  const auto reply = net::ParseServiceReply(text);
  if (!reply) return 0;
  if (!reply->isObject()) std::abort();
  if (net::ReplyResult(*reply) == 1 && !(*reply)["result"].isNumeric()) std::abort();
  for (const char* key : kKeysTheClientReads) readEveryWay(*reply, key);
  for (const std::string& name : reply->getMemberNames()) {
    readEveryWay(*reply, name.c_str());
    const Json::Value& member = (*reply)[name];
    for (const char* key : kKeysTheClientReads) readEveryWay(member, key);
    if (member.isArray()) {
      for (const Json::Value& item : member) readEveryWay(item, "id");
    }
  }
  return 0;
}
