#include "skinui/text.h"

namespace skinui {

Text::Text() {
  showHtml_ = true;
  textFlags_ = text_flags::kLeft | text_flags::kTop | text_flags::kWordBreak;
}

}  // namespace skinui
