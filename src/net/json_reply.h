#pragma once

#include <json/value.h>

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

namespace net {

// The service answers every request with one JSON object whose "result" of 1 means done.
// nullopt when the text is not a JSON object (the caller's cannot-parse case).
std::optional<Json::Value> ParseServiceReply(std::string_view ansiReply);

// "result" as an integer. Missing, null, text or other kinds read as 0, so that only a real 1
// counts as done.
int ReplyResult(const Json::Value& reply);

// Reads a member without throwing: texts as they are (ANSI), numbers and booleans as their
// decimal text; anything else the fallback.
std::string ReplyText(const Json::Value& object, const char* key, std::string fallback = {});
// Integers, integral reals and decimal texts; anything else (or out of range) the fallback.
std::int32_t ReplyInt(const Json::Value& object, const char* key, std::int32_t fallback = 0);

}  // namespace net
