#include "net/json_reply.h"

#include <json/reader.h>

#include <charconv>
#include <cmath>
#include <limits>
#include <memory>

namespace net {
namespace {

std::optional<std::int32_t> asInt32(const Json::Value& value) {
  if (value.isInt()) return value.asInt();
  if (value.isUInt() &&
      value.asUInt() <= static_cast<unsigned>(std::numeric_limits<std::int32_t>::max())) {
    return static_cast<std::int32_t>(value.asUInt());
  }
  if (value.isDouble()) {
    const double d = value.asDouble();
    if (std::isfinite(d) && d == std::floor(d) && d >= std::numeric_limits<std::int32_t>::min() &&
        d <= std::numeric_limits<std::int32_t>::max()) {
      return static_cast<std::int32_t>(d);
    }
  }
  return std::nullopt;
}

}  // namespace

std::optional<Json::Value> ParseServiceReply(std::string_view ansiReply) {
  Json::CharReaderBuilder builder;
  builder["collectComments"] = true;
  std::unique_ptr<Json::CharReader> reader(builder.newCharReader());
  Json::Value root;
  std::string errors;
  try {
    if (!reader->parse(ansiReply.data(), ansiReply.data() + ansiReply.size(), &root, &errors)) {
      return std::nullopt;
    }
  } catch (const Json::Exception&) {
    // The reader raises instead of failing on some inputs (nesting beyond its depth limit):
    // to the caller that is a reply it cannot parse like any other.
    return std::nullopt;
  }
  if (!root.isObject()) return std::nullopt;
  return root;
}

int ReplyResult(const Json::Value& reply) {
  if (!reply.isObject()) return 0;
  return asInt32(reply.get("result", Json::Value())).value_or(0);
}

std::string ReplyText(const Json::Value& object, const char* key, std::string fallback) {
  if (!object.isObject()) return fallback;
  const Json::Value& value = object[key];
  if (value.isString()) return value.asString();
  if (value.isBool()) return value.asBool() ? "true" : "false";
  if (value.isIntegral())
    return value.isInt64() ? std::to_string(value.asInt64()) : std::to_string(value.asUInt64());
  if (value.isDouble()) return value.asString();
  return fallback;
}

std::int32_t ReplyInt(const Json::Value& object, const char* key, std::int32_t fallback) {
  if (!object.isObject()) return fallback;
  const Json::Value& value = object[key];
  if (value.isString()) {
    const std::string text = value.asString();
    std::int32_t parsed = 0;
    const auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), parsed);
    return error == std::errc() && end == text.data() + text.size() && !text.empty() ? parsed
                                                                                     : fallback;
  }
  return asInt32(value).value_or(fallback);
}

}  // namespace net
