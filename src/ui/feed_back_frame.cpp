#include "ui/feed_back_frame.h"

namespace ui {

CFeedBackFrame::CFeedBackFrame(skinui::UiContext& context, const WebFrameServices& services)
    : CWebFrame(context, services,
                {"UIFeedBackFrame", u"反馈问题", "FeedBackForm.xml", "ie_for_feedback", true, true,
                 false, true}) {}

std::optional<std::string> CFeedBackFrame::PageAddress() {
  return ServicePage(u"zelk/FeedbackPage.aspx", {});
}

}  // namespace ui
