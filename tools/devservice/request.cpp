#include "devservice/request.h"

#include <charconv>

#include "devservice/text_util.h"
#include "platform/code_page.h"

namespace devservice {

namespace {

std::string ReadAsUtf8(const std::string& value) {
  if (IsValidUtf8(value)) return value;
  // A client whose system code page is GBK sends its texts unconverted.
  if (const auto wide = platform::DecodeText(value, "GBK")) return platform::Utf16ToUtf8(*wide);
  return platform::Utf16ToUtf8(platform::Utf8ToUtf16(value));
}

}  // namespace

std::optional<std::int32_t> ParseInt32(const std::string& text) {
  const std::string trimmed = Trim(text);
  std::string_view digits = trimmed;
  if (digits.starts_with("+-")) return std::nullopt;
  if (digits.starts_with('+')) digits.remove_prefix(1);
  std::int32_t value = 0;
  const char* end = digits.data() + digits.size();
  const auto [ptr, ec] = std::from_chars(digits.data(), end, value);
  if (digits.empty() || ec != std::errc() || ptr != end) return std::nullopt;
  return value;
}

Request::Request(std::string method, std::string path,
                 std::multimap<std::string, std::string> params, std::string body,
                 std::string hostHeader)
    : method_(std::move(method)),
      path_(NormalizeRequestPath(path)),
      casedPath_(CollapseSlashes(path)),
      body_(std::move(body)),
      hostHeader_(std::move(hostHeader)) {
  for (auto& [name, value] : params) params_.emplace(ToLowerAscii(name), std::move(value));
}

std::string Request::baseUrl() const {
  const bool plausibleHost = !hostHeader_.empty() && hostHeader_.size() < 256 &&
                             hostHeader_.find_first_of("/\\ \"'<>") == std::string::npos;
  return "http://" + (plausibleHost ? hostHeader_ : std::string("127.0.0.1")) + "/";
}

std::string Request::pathAfter(const std::string& prefix) const {
  const std::string normalised = NormalizeRequestPath(prefix);
  if (!path_.starts_with(normalised)) return {};
  return casedPath_.substr(normalised.size());
}

bool Request::has(const std::string& name) const {
  return params_.contains(ToLowerAscii(name));
}

std::optional<std::string> Request::optionalText(const std::string& name) const {
  const auto found = params_.find(ToLowerAscii(name));
  if (found == params_.end()) return std::nullopt;
  return ReadAsUtf8(found->second);
}

std::string Request::text(const std::string& name) const {
  auto value = optionalText(name);
  if (!value || Trim(*value).empty()) throw BadRequest("缺少参数" + name);
  return std::move(*value);
}

std::int32_t Request::integer(const std::string& name) const {
  const auto value = optionalText(name);
  if (!value || Trim(*value).empty()) throw BadRequest("缺少参数" + name);
  const auto number = ParseInt32(*value);
  if (!number) throw BadRequest("参数" + name + "不是有效的数字");
  return *number;
}

std::optional<std::int32_t> Request::optionalInteger(const std::string& name) const {
  if (!has(name)) return std::nullopt;
  return integer(name);
}

}  // namespace devservice
