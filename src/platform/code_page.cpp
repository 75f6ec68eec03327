#include "platform/code_page.h"

#include <iconv.h>
#include <langinfo.h>

#include <algorithm>
#include <cerrno>
#include <clocale>
#include <mutex>
#include <vector>

namespace platform {
namespace {

std::mutex& overrideMutex() {
  static std::mutex mutex;
  return mutex;
}

std::string& codesetOverride() {
  static std::string name;
  return name;
}

// One iconv conversion. With `substitute`, input that the target cannot hold is replaced by
// `replacement` (in the target encoding) and the input sequence skipped.
std::optional<std::string> convert(std::string_view input, const char* from, const char* to,
                                   bool substitute, std::string_view replacement,
                                   std::size_t inputUnit) {
  iconv_t cd = iconv_open(to, from);
  if (cd == reinterpret_cast<iconv_t>(-1)) return std::nullopt;
  std::string out;
  std::vector<char> buffer(4096);
  char* in = const_cast<char*>(input.data());
  std::size_t inLeft = input.size();
  bool ok = true;
  while (inLeft > 0) {
    char* outPtr = buffer.data();
    std::size_t outLeft = buffer.size();
    const std::size_t rc = iconv(cd, &in, &inLeft, &outPtr, &outLeft);
    out.append(buffer.data(), buffer.size() - outLeft);
    if (rc != static_cast<std::size_t>(-1)) continue;
    if (errno == E2BIG) continue;
    if (!substitute) {
      ok = false;
      break;
    }
    // EILSEQ or EINVAL (truncated input): replace one character and go on. In UTF-16 input a
    // surrogate pair is one character of two units.
    out.append(replacement);
    std::size_t skip = std::min(inLeft, inputUnit);
    if (inputUnit == 2 && inLeft >= 4) {
      const auto unit = [&](std::size_t at) {
        return static_cast<unsigned>(static_cast<unsigned char>(in[at]) |
                                     (static_cast<unsigned char>(in[at + 1]) << 8));
      };
      if (unit(0) >= 0xD800 && unit(0) < 0xDC00 && unit(2) >= 0xDC00 && unit(2) < 0xE000) skip = 4;
    }
    in += skip;
    inLeft -= skip;
  }
  if (ok) {
    char* outPtr = buffer.data();
    std::size_t outLeft = buffer.size();
    iconv(cd, nullptr, nullptr, &outPtr, &outLeft);
    out.append(buffer.data(), buffer.size() - outLeft);
  }
  iconv_close(cd);
  if (!ok) return std::nullopt;
  return out;
}

std::u16string fromUtf16LeBytes(const std::string& bytes) {
  std::u16string text(bytes.size() / 2, u'\0');
  for (std::size_t i = 0; i < text.size(); ++i) {
    text[i] = static_cast<char16_t>(static_cast<unsigned char>(bytes[2 * i]) |
                                    (static_cast<unsigned char>(bytes[2 * i + 1]) << 8));
  }
  return text;
}

std::string toUtf16LeBytes(std::u16string_view text) {
  std::string bytes(text.size() * 2, '\0');
  for (std::size_t i = 0; i < text.size(); ++i) {
    bytes[2 * i] = static_cast<char>(text[i] & 0xFF);
    bytes[2 * i + 1] = static_cast<char>(text[i] >> 8);
  }
  return bytes;
}

const std::string_view kUtf16Replacement("\xFD\xFF", 2);  // U+FFFD, little-endian

// ASCII reads the same in UTF-8 and UTF-16, and most texts the program converts (numbers,
// names of states, identifiers, addresses) are ASCII only: those skip the converter.
bool isAscii(std::string_view text) {
  for (const char c : text) {
    if (static_cast<unsigned char>(c) >= 0x80) return false;
  }
  return true;
}

bool isAscii(std::u16string_view text) {
  for (const char16_t c : text) {
    if (c >= 0x80) return false;
  }
  return true;
}

}  // namespace

std::string AnsiCodeset() {
  {
    std::lock_guard lock(overrideMutex());
    if (!codesetOverride().empty()) return codesetOverride();
  }
  // The locale of the environment, read without changing the process's own locale.
  locale_t locale = newlocale(LC_CTYPE_MASK, "", static_cast<locale_t>(nullptr));
  std::string name;
  if (locale != static_cast<locale_t>(nullptr)) {
    const char* codeset = nl_langinfo_l(CODESET, locale);
    if (codeset != nullptr) name = codeset;
    freelocale(locale);
  }
  // The C locale reports ASCII; text beyond it would be lost, so treat it as UTF-8.
  if (name.empty() || name == "ANSI_X3.4-1968" || name == "ASCII") name = "UTF-8";
  return name;
}

void SetAnsiCodesetOverride(std::string codeset) {
  std::lock_guard lock(overrideMutex());
  codesetOverride() = std::move(codeset);
}

std::optional<std::u16string> DecodeText(std::string_view bytes, const std::string& codeset) {
  auto converted = convert(bytes, codeset.c_str(), "UTF-16LE", false, {}, 1);
  if (!converted) return std::nullopt;
  return fromUtf16LeBytes(*converted);
}

std::optional<std::string> EncodeText(std::u16string_view text, const std::string& codeset) {
  return convert(toUtf16LeBytes(text), "UTF-16LE", codeset.c_str(), true, "?", 2);
}

std::u16string Utf8ToUtf16(std::string_view utf8) {
  if (isAscii(utf8)) return std::u16string(utf8.begin(), utf8.end());
  auto converted = convert(utf8, "UTF-8", "UTF-16LE", true, kUtf16Replacement, 1);
  return converted ? fromUtf16LeBytes(*converted) : std::u16string();
}

std::string Utf16ToUtf8(std::u16string_view text) {
  if (isAscii(text)) {
    std::string narrow(text.size(), '\0');
    std::transform(text.begin(), text.end(), narrow.begin(),
                   [](char16_t c) { return static_cast<char>(c); });
    return narrow;
  }
  auto converted = convert(toUtf16LeBytes(text), "UTF-16LE", "UTF-8", true, "\xEF\xBF\xBD", 2);
  return converted ? *converted : std::string();
}

std::optional<std::u16string> AnsiToUtf16(std::string_view ansi) {
  return DecodeText(ansi, AnsiCodeset());
}

std::u16string AnsiToUtf16Lossy(std::string_view ansi) {
  auto converted = convert(ansi, AnsiCodeset().c_str(), "UTF-16LE", true, kUtf16Replacement, 1);
  return converted ? fromUtf16LeBytes(*converted) : std::u16string();
}

std::string Utf16ToAnsi(std::u16string_view text) {
  auto encoded = EncodeText(text, AnsiCodeset());
  return encoded ? *encoded : std::string();
}

std::size_t Utf16Length(const char16_t* text) {
  if (text == nullptr) return 0;
  std::size_t n = 0;
  while (text[n] != u'\0') ++n;
  return n;
}

std::u16string_view Utf16View(const char16_t* text) {
  return text == nullptr ? std::u16string_view() : std::u16string_view(text, Utf16Length(text));
}

}  // namespace platform
