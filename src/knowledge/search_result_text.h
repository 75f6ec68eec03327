#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace knowledge {

// The texts of the knowledge search and its result rows, without any window.

// The service's typeId for the selected item of a search-type box: 0, 1, 2 and 5 for the four
// types; any other index searches everything (0).
std::int32_t SearchTypeId(int comboIndex);

// Ten results a page: 20 hits give 2 pages, 21 give 3, none give 0.
std::int32_t SearchPageCount(std::int32_t total);

// "12." + title: the number of the result among all hits, counted from 1.
std::u16string NumberedTitle(std::int32_t pageNumber, std::int32_t indexOnPage,
                             std::u16string_view title);

// The reply's "keys" split at ",".
std::vector<std::u16string> SplitSearchKeys(std::u16string_view keys);

// The longest description a row shows, in characters.
inline constexpr std::size_t kResultDescriptionLength = 120;

// A description as a row shows it: lower-cased, without the leftovers of HTML entities, line
// breaks, tabs, "??" and spaces, then cut to its first 120 characters.
std::u16string CleanResultDescription(std::u16string_view description);

// Service text as plain text: colour tags the service sent are removed, so that only the
// highlighting of the keys colours a row.
std::u16string PlainServiceText(std::u16string_view text);

// Marks the keys in red markup ("<c #FF0000>key</c>"). Longer keys go first; a key whose first
// occurrence lies inside (or touches) the occurrence of a key taken before is not marked, and
// text already marked is not marked again, so the markup stays well formed.
std::u16string HighlightKeys(std::u16string_view text, std::vector<std::u16string> keys);

}  // namespace knowledge
