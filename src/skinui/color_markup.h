#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace skinui {

// One piece of text of a single colour; no colour means the control's text colour.
struct MarkupRun {
  std::u16string text;
  std::optional<std::uint32_t> color;  // 0xAARRGGBB
  friend bool operator==(const MarkupRun&, const MarkupRun&) = default;
};

// Splits a text with the colour markup "<c #RRGGBB>red</c>" into runs. Tags nest; a missing
// "</c>" colours to the end; anything that is not a well-formed colour tag is plain text.
std::vector<MarkupRun> ParseColorMarkup(std::u16string_view text);
// The text without its tags (what an edit or the automation shows).
std::u16string StripColorMarkup(std::u16string_view text);
// Pango markup (UTF-8) of the runs, the text escaped.
std::string ToPangoMarkup(const std::vector<MarkupRun>& runs);

}  // namespace skinui
