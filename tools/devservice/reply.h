#pragma once

#include <json/value.h>

#include <string>

namespace devservice {

// What a handler answers: status, content type and body.
struct Reply {
  int status = 200;
  std::string contentType;
  std::string body;
};

// Compact JSON in UTF-8 (Chinese text unescaped), as the client's reader expects.
std::string ToJsonText(const Json::Value& value);

Reply JsonReply(const Json::Value& value);
// {"result":0,"msg":message}
Reply FailureReply(const std::string& message, int status = 200);
Reply HtmlReply(std::string html, int status = 200);
// A file of the data folder; 404 with a failure reply when it cannot be read.
Reply FileReply(const std::string& path);

// Content type by file extension (png, jpg, css, js, html, zip, exe…).
std::string ContentTypeOf(const std::string& path);

}  // namespace devservice
