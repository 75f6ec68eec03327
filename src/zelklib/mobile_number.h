#pragma once

#include <string>
#include <string_view>

namespace zelklib {

// A mainland mobile number: exactly 11 digits, the first two 13 to 19.
bool IsMobileNumber(std::u16string_view text);

// The number as the service wants it: blanks and dashes removed, and a leading country code
// (+86, 0086 or 86) removed when 11 digits remain. Any other text is returned unchanged.
std::u16string NormaliseMobileNumber(std::u16string_view text);

}  // namespace zelklib
