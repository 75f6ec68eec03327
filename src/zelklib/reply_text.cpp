#include "zelklib/reply_text.h"

#include <iconv.h>

#include <algorithm>
#include <cctype>
#include <cerrno>
#include <optional>

#include "platform/code_page.h"

namespace zelklib {
namespace {

std::string lowerAscii(std::string_view text) {
  std::string result(text);
  std::transform(result.begin(), result.end(), result.begin(), [](char c) {
    return c >= 'A' && c <= 'Z' ? static_cast<char>(c - 'A' + 'a') : c;
  });
  return result;
}

// The value after "charset=" in a text (quotes and trailing separators removed).
std::string charsetParameter(std::string_view text) {
  const std::string lower = lowerAscii(text);
  const auto at = lower.find("charset=");
  if (at == std::string::npos) return {};
  std::size_t start = at + 8;
  while (start < lower.size() &&
         (lower[start] == '"' || lower[start] == '\'' || lower[start] == ' '))
    ++start;
  std::size_t end = start;
  while (end < lower.size() &&
         (std::isalnum(static_cast<unsigned char>(lower[end])) || lower[end] == '-' ||
          lower[end] == '_' || lower[end] == '.' || lower[end] == ':')) {
    ++end;
  }
  return lower.substr(start, end - start);
}

// Looks through the <meta> tags of the first few kilobytes of an HTML page.
std::string charsetFromMeta(std::string_view body) {
  const std::string head = lowerAscii(body.substr(0, 4096));
  std::size_t at = 0;
  while ((at = head.find("<meta", at)) != std::string::npos) {
    const auto end = head.find('>', at);
    const std::string tag =
        head.substr(at, end == std::string::npos ? std::string::npos : end - at);
    std::string charset = charsetParameter(tag);
    if (!charset.empty()) return charset;
    at += 5;
  }
  return {};
}

// Decodes with iconv; a byte sequence the codeset cannot read becomes U+FFFD and one byte is
// skipped. nullopt when iconv does not know the codeset.
std::optional<std::u16string> decodeLossy(std::string_view bytes, const std::string& codeset) {
  iconv_t cd = iconv_open("UTF-16LE", codeset.c_str());
  if (cd == reinterpret_cast<iconv_t>(-1)) return std::nullopt;
  std::string out;
  char buffer[4096];
  char* in = const_cast<char*>(bytes.data());
  std::size_t inLeft = bytes.size();
  while (inLeft > 0) {
    char* outPtr = buffer;
    std::size_t outLeft = sizeof buffer;
    const std::size_t rc = iconv(cd, &in, &inLeft, &outPtr, &outLeft);
    out.append(buffer, sizeof buffer - outLeft);
    if (rc == static_cast<std::size_t>(-1) && errno != E2BIG) {
      out.append("\xFD\xFF", 2);
      ++in;
      --inLeft;
      iconv(cd, nullptr, nullptr, nullptr, nullptr);
    }
  }
  iconv_close(cd);
  std::u16string text(out.size() / 2, u'\0');
  for (std::size_t i = 0; i < text.size(); ++i) {
    text[i] = static_cast<char16_t>(static_cast<unsigned char>(out[2 * i]) |
                                    (static_cast<unsigned char>(out[2 * i + 1]) << 8));
  }
  return text;
}

}  // namespace

std::string DeclaredCharset(std::string_view contentType, std::string_view body) {
  std::string charset = charsetParameter(contentType);
  if (!charset.empty()) return charset;
  const std::string type = lowerAscii(contentType);
  const bool html =
      type.find("html") != std::string::npos ||
      (type.empty() && lowerAscii(body.substr(0, 512)).find("<html") != std::string::npos);
  return html ? charsetFromMeta(body) : std::string();
}

std::string CodesetForCharset(const std::string& charset) {
  if (charset.empty() || charset == "utf-8" || charset == "utf8") return {};
  if (charset == "gb2312" || charset == "gbk" || charset == "x-gbk" || charset == "gb18030" ||
      charset == "cp936") {
    return "GB18030";
  }
  return charset;
}

std::u16string DecodeReplyBody(std::string_view body, std::string_view contentType) {
  if (body.starts_with("\xEF\xBB\xBF")) return platform::Utf8ToUtf16(body.substr(3));
  if (body.starts_with("\xFF\xFE")) {
    if (auto text = platform::DecodeText(body.substr(2), "UTF-16LE")) return *text;
  }
  if (body.starts_with("\xFE\xFF")) {
    if (auto text = platform::DecodeText(body.substr(2), "UTF-16BE")) return *text;
  }
  const std::string codeset = CodesetForCharset(DeclaredCharset(contentType, body));
  // Damaged or mislabelled text is read as far as it goes rather than dropped whole.
  if (!codeset.empty()) {
    if (auto text = decodeLossy(body, codeset)) return *text;
  }
  return platform::Utf8ToUtf16(body);
}

}  // namespace zelklib
