#include "knowledge/search_result_text.h"

#include <array>
#include <utility>

#include "skinui/color_markup.h"

namespace knowledge {
namespace {

// Entity names the service leaves behind without their "&", the white space and the "??" of
// characters its code page could not hold.
constexpr std::array<std::u16string_view, 14> kDescriptionNoise = {
    u"nbsp;",  u"rdquo;", u"ldquo;", u"middot;", u"times;", u"mdash;", u"hellip;",
    u"prime;", u"deg;",   u"\r",     u"\n",      u"\t",     u"??",     u" "};

constexpr std::u16string_view kMarkOpen = u"<c #FF0000>";
constexpr std::u16string_view kMarkClose = u"</c>";

void RemoveAll(std::u16string& text, std::u16string_view part) {
  for (std::size_t at = text.find(part); at != std::u16string::npos; at = text.find(part, at)) {
    text.erase(at, part.size());
  }
}

bool IsHighSurrogate(char16_t unit) {
  return unit >= 0xD800 && unit <= 0xDBFF;
}

// The first `count` characters; a character outside the basic plane counts once.
std::u16string FirstCharacters(const std::u16string& text, std::size_t count) {
  std::size_t units = 0;
  for (std::size_t characters = 0; characters < count && units < text.size(); ++characters) {
    units += IsHighSurrogate(text[units]) && units + 1 < text.size() ? 2 : 1;
  }
  return text.substr(0, units);
}

// A text cut into pieces, each marked or not.
struct Piece {
  std::u16string text;
  bool marked = false;
};

// Marks every occurrence of `key` in the pieces not marked yet.
void MarkOccurrences(std::vector<Piece>& pieces, const std::u16string& key) {
  std::vector<Piece> result;
  for (Piece& piece : pieces) {
    if (piece.marked) {
      result.push_back(std::move(piece));
      continue;
    }
    std::size_t from = 0;
    for (std::size_t at = piece.text.find(key); at != std::u16string::npos;
         at = piece.text.find(key, from)) {
      if (at > from) result.push_back({piece.text.substr(from, at - from), false});
      result.push_back({key, true});
      from = at + key.size();
    }
    if (from < piece.text.size()) result.push_back({piece.text.substr(from), false});
  }
  pieces = std::move(result);
}

}  // namespace

std::int32_t SearchTypeId(int comboIndex) {
  switch (comboIndex) {
    case 1:
      return 1;
    case 2:
      return 2;
    case 3:
      return 5;
    default:
      return 0;
  }
}

std::int32_t SearchPageCount(std::int32_t total) {
  if (total <= 0) return 0;
  return total / 10 + (total % 10 != 0 ? 1 : 0);
}

std::u16string NumberedTitle(std::int32_t pageNumber, std::int32_t indexOnPage,
                             std::u16string_view title) {
  const std::int32_t first = (pageNumber - 1) * 10;
  const std::string number = std::to_string(first + indexOnPage + 1) + ".";
  return std::u16string(number.begin(), number.end()) + std::u16string(title);
}

std::vector<std::u16string> SplitSearchKeys(std::u16string_view keys) {
  std::vector<std::u16string> list;
  std::size_t from = 0;
  while (true) {
    const std::size_t comma = keys.find(u',', from);
    list.emplace_back(keys.substr(from, comma == std::u16string_view::npos ? comma : comma - from));
    if (comma == std::u16string_view::npos) break;
    from = comma + 1;
  }
  return list;
}

std::u16string CleanResultDescription(std::u16string_view description) {
  std::u16string text(description);
  for (char16_t& unit : text) {
    if (unit >= u'A' && unit <= u'Z') unit = static_cast<char16_t>(unit - u'A' + u'a');
  }
  for (const std::u16string_view noise : kDescriptionNoise) RemoveAll(text, noise);
  return FirstCharacters(text, kResultDescriptionLength);
}

std::u16string PlainServiceText(std::u16string_view text) {
  return skinui::StripColorMarkup(text);
}

std::u16string HighlightKeys(std::u16string_view text, std::vector<std::u16string> keys) {
  if (keys.size() > 1) {
    for (std::size_t i = 0; i < keys.size(); ++i) {
      for (std::size_t j = i + 1; j < keys.size(); ++j) {
        if (keys[j].size() > keys[i].size()) std::swap(keys[i], keys[j]);
      }
    }
  }

  struct Span {
    std::size_t start;
    std::size_t end;
  };
  std::vector<Span> spans;
  std::vector<std::u16string> accepted;
  for (const std::u16string& key : keys) {
    if (key.empty()) continue;
    const std::size_t at = text.find(key);
    if (at == std::u16string_view::npos) continue;
    bool inside = false;
    for (const Span& span : spans) inside = inside || (span.start <= at && at <= span.end);
    if (inside) continue;
    spans.push_back({at, at + key.size()});
    accepted.push_back(key);
  }

  std::vector<Piece> pieces{{std::u16string(text), false}};
  for (const std::u16string& key : accepted) MarkOccurrences(pieces, key);
  std::u16string result;
  for (const Piece& piece : pieces) {
    if (piece.marked) {
      result.append(kMarkOpen).append(piece.text).append(kMarkClose);
    } else {
      result.append(piece.text);
    }
  }
  return result;
}

}  // namespace knowledge
