// Feeds arbitrary bytes to the client's reading of its command line and of "Zelk://" requests,
// and to the service URL formatting: a command line as the desktop entry hands it over (the
// arguments split at NUL bytes), the request recognition and the strict check before a
// hand-over on it, and a URL template with fuzzed text and number values.

#include <fuzzer/FuzzedDataProvider.h>

#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string>
#include <vector>

#include "core/command_line.h"
#include "net/service_url_format.h"

namespace {

std::u16string widen(const std::string& bytes) {
  return std::u16string(bytes.begin(), bytes.end());
}

void checkCommandLine(const std::string& bytes) {
  std::vector<std::string> arguments{"Zelk"};
  std::string current;
  for (const char c : bytes) {
    if (c == '\0') {
      arguments.push_back(current);
      current.clear();
    } else {
      current += c;
    }
  }
  arguments.push_back(current);
  std::vector<const char*> argv;
  for (const std::string& argument : arguments) argv.push_back(argument.c_str());
  const std::string commandLine =
      core::ReadClientCommandLine(static_cast<int>(argv.size()), argv.data());
  if (commandLine.find('"') != std::string::npos) std::abort();

  const std::u16string wide = widen(commandLine);
  const bool request = core::IsUrlProtocolRequest(wide);
  const std::u16string unquoted = core::RemoveDoubleQuotes(widen(bytes));
  if (unquoted.find(u'"') != std::u16string::npos) std::abort();
  if (unquoted.size() !=
      bytes.size() - static_cast<std::size_t>(std::count(bytes.begin(), bytes.end(), '"'))) {
    std::abort();
  }
  // A request starts with the scheme in any letter case, and nothing else is one.
  if (request) {
    if (wide.size() < 7) std::abort();
    std::u16string scheme = wide.substr(0, 7);
    for (char16_t& c : scheme) {
      if (c >= u'A' && c <= u'Z') c = static_cast<char16_t>(c - u'A' + u'a');
    }
    if (scheme != u"zelk://") std::abort();
  }
  // What passes between instances is a request of bounded length in printable URL characters.
  if (core::IsWellFormedUrlProtocolRequest(wide)) {
    if (!request || wide.size() > core::kMaxUrlProtocolRequestLength) std::abort();
    for (const char16_t c : wide) {
      if (c <= u' ' || c >= 0x7F || c == u'"' || c == u'\\' || c == u'<' || c == u'>') {
        std::abort();
      }
    }
  }
}

void checkUrlFormat(FuzzedDataProvider& input) {
  const std::u16string urlTemplate = widen(input.ConsumeRandomLengthString(4000));
  std::vector<net::UrlValue> values;
  const std::size_t count = input.ConsumeIntegralInRange<std::size_t>(0, 6);
  for (std::size_t i = 0; i < count; ++i) {
    if (input.ConsumeBool()) {
      values.emplace_back(input.ConsumeIntegral<std::int32_t>());
    } else {
      values.emplace_back(widen(input.ConsumeRandomLengthString(1500)));
    }
  }
  const auto url = net::FormatServiceUrl(urlTemplate, values);
  if (!url) return;
  if (url->size() > net::kMaxServiceUrlLength) std::abort();
  // Without placeholders the template comes back as it is.
  if (values.empty() && urlTemplate.find(u'%') == std::u16string::npos && *url != urlTemplate) {
    std::abort();
  }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  FuzzedDataProvider input(data, size);
  checkCommandLine(input.ConsumeRandomLengthString(2000));
  checkUrlFormat(input);
  return 0;
}
