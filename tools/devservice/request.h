#pragma once

#include <cstdint>
#include <map>
#include <optional>
#include <stdexcept>
#include <string>

namespace devservice {

// A request the service cannot carry out as asked: missing or malformed values, unknown
// accounts, refused credentials. The message is the "msg" of the {"result":0} reply, a text
// for the user.
class BadRequest : public std::runtime_error {
 public:
  explicit BadRequest(const std::string& message) : std::runtime_error(message) {}
};

// One HTTP request as the handlers see it, independent of the server library.
class Request {
 public:
  Request(std::string method, std::string path, std::multimap<std::string, std::string> params,
          std::string body, std::string hostHeader);

  const std::string& method() const { return method_; }
  // As normalised by NormalizeRequestPath ("zelk/newsapi.aspx"), for routing.
  const std::string& path() const { return path_; }
  // The same with the letter case kept ("zelk/AppIcons/RebarWeight.png").
  const std::string& casedPath() const { return casedPath_; }
  // What follows a routing prefix in casedPath (the prefix is matched without regard to case).
  std::string pathAfter(const std::string& prefix) const;
  const std::string& body() const { return body_; }
  // "http://HOST:PORT/" as the client addressed the service, for links and picture addresses.
  std::string baseUrl() const;

  bool has(const std::string& name) const;
  // The first value of a query or form parameter; names are compared without regard to case,
  // as the service this one stands in for does. Values that are not UTF-8 are read as GBK.
  std::optional<std::string> optionalText(const std::string& name) const;
  // Raises BadRequest when the parameter is missing or empty.
  std::string text(const std::string& name) const;
  // A signed 32-bit decimal; raises BadRequest when missing, not a number or out of range.
  std::int32_t integer(const std::string& name) const;
  std::optional<std::int32_t> optionalInteger(const std::string& name) const;

 private:
  std::string method_;
  std::string path_;
  std::string casedPath_;
  std::multimap<std::string, std::string> params_;  // keys lower-cased
  std::string body_;
  std::string hostHeader_;
};

// Strict decimal parsing: optional sign, digits only, within int32. nullopt otherwise.
std::optional<std::int32_t> ParseInt32(const std::string& text);

}  // namespace devservice
