#include "skinui/color_markup.h"

#include <glib.h>

#include <cstdio>
#include <memory>

#include "skinui/text_utf.h"

namespace skinui {

namespace {

bool IsHex(char16_t c) {
  return (c >= u'0' && c <= u'9') || (c >= u'a' && c <= u'f') || (c >= u'A' && c <= u'F');
}

// Reads "<c #RRGGBB>" or "<c #AARRGGBB>" at the start of `text`; answers its length.
std::size_t ReadOpenTag(std::u16string_view text, std::uint32_t& color) {
  if (!text.starts_with(u"<c #")) return 0;
  std::size_t i = 4;
  std::uint32_t value = 0;
  while (i < text.size() && IsHex(text[i]) && i - 4 < 8) {
    const char16_t c = text[i];
    const std::uint32_t digit = c <= u'9' ? c - u'0' : (c | 0x20) - u'a' + 10;
    value = value * 16 + digit;
    ++i;
  }
  const std::size_t digits = i - 4;
  if ((digits != 6 && digits != 8) || i >= text.size() || text[i] != u'>') return 0;
  color = digits == 6 ? (0xFF000000u | value) : value;
  return i + 1;
}

void Append(std::vector<MarkupRun>& runs, std::u16string_view piece,
            const std::optional<std::uint32_t>& color) {
  if (piece.empty()) return;
  if (!runs.empty() && runs.back().color == color) {
    runs.back().text += piece;
  } else {
    runs.push_back({std::u16string(piece), color});
  }
}

}  // namespace

std::vector<MarkupRun> ParseColorMarkup(std::u16string_view text) {
  std::vector<MarkupRun> runs;
  std::vector<std::uint32_t> stack;
  std::size_t plainStart = 0;
  std::size_t i = 0;
  auto current = [&]() -> std::optional<std::uint32_t> {
    if (stack.empty()) return std::nullopt;
    return stack.back();
  };
  while (i < text.size()) {
    if (text[i] == u'<') {
      std::uint32_t color = 0;
      if (const std::size_t n = ReadOpenTag(text.substr(i), color); n > 0) {
        Append(runs, text.substr(plainStart, i - plainStart), current());
        stack.push_back(color);
        i += n;
        plainStart = i;
        continue;
      }
      if (text.substr(i).starts_with(u"</c>") && !stack.empty()) {
        Append(runs, text.substr(plainStart, i - plainStart), current());
        stack.pop_back();
        i += 4;
        plainStart = i;
        continue;
      }
    }
    ++i;
  }
  Append(runs, text.substr(plainStart), current());
  return runs;
}

std::u16string StripColorMarkup(std::u16string_view text) {
  std::u16string plain;
  for (const auto& run : ParseColorMarkup(text)) plain += run.text;
  return plain;
}

std::string ToPangoMarkup(const std::vector<MarkupRun>& runs) {
  std::string markup;
  for (const auto& run : runs) {
    const std::string utf8 = Utf16ToUtf8(run.text);
    std::unique_ptr<gchar, decltype(&g_free)> escaped(
        g_markup_escape_text(utf8.c_str(), static_cast<gssize>(utf8.size())), &g_free);
    if (run.color) {
      char color[32];
      std::snprintf(color, sizeof color, "#%06X", *run.color & 0xFFFFFF);
      markup += "<span foreground=\"";
      markup += color;
      markup += "\">";
      markup += escaped.get();
      markup += "</span>";
    } else {
      markup += escaped.get();
    }
  }
  return markup;
}

}  // namespace skinui
