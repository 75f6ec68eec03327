#include "skinui/text_utf.h"

#include <glib.h>

#include <memory>

namespace skinui {

namespace {

struct GFreeDeleter {
  void operator()(void* p) const { g_free(p); }
};

std::string MakeValidUtf8(std::string_view text) {
  std::unique_ptr<gchar, GFreeDeleter> valid(
      g_utf8_make_valid(text.data(), static_cast<gssize>(text.size())));
  return valid ? std::string(valid.get()) : std::string();
}

}  // namespace

std::u16string Utf8ToUtf16(std::string_view text) {
  if (text.empty()) return {};
  std::string valid = g_utf8_validate(text.data(), static_cast<gssize>(text.size()), nullptr)
                          ? std::string(text)
                          : MakeValidUtf8(text);
  glong written = 0;
  std::unique_ptr<gunichar2, GFreeDeleter> wide(
      g_utf8_to_utf16(valid.data(), static_cast<glong>(valid.size()), nullptr, &written, nullptr));
  if (!wide) return {};
  return std::u16string(reinterpret_cast<const char16_t*>(wide.get()),
                        static_cast<std::size_t>(written));
}

std::string Utf16ToUtf8(std::u16string_view text) {
  if (text.empty()) return {};
  // Unpaired surrogates are replaced one by one so that the rest of the text survives.
  std::u16string clean(text);
  for (std::size_t i = 0; i < clean.size(); ++i) {
    const char16_t c = clean[i];
    if (c >= 0xD800 && c <= 0xDBFF) {
      if (i + 1 < clean.size() && clean[i + 1] >= 0xDC00 && clean[i + 1] <= 0xDFFF) {
        ++i;
      } else {
        clean[i] = 0xFFFD;
      }
    } else if (c >= 0xDC00 && c <= 0xDFFF) {
      clean[i] = 0xFFFD;
    }
  }
  glong written = 0;
  std::unique_ptr<gchar, GFreeDeleter> narrow(
      g_utf16_to_utf8(reinterpret_cast<const gunichar2*>(clean.data()),
                      static_cast<glong>(clean.size()), nullptr, &written, nullptr));
  if (!narrow) return {};
  return std::string(narrow.get(), static_cast<std::size_t>(written));
}

}  // namespace skinui
