#include "ui/faq_submit_question_frame.h"

namespace ui {

CFAQSubmitQuestionFrame::CFAQSubmitQuestionFrame(skinui::UiContext& context,
                                                 const WebFrameServices& services)
    : CWebFrame(context, services,
                {"UIFAQSubmitQuestionFrame", u"提交问题", "FAQSubmitQuestionForm.xml",
                 "ie_for_faq_question", false, false, false, false}) {}

std::optional<std::string> CFAQSubmitQuestionFrame::PageAddress() {
  return ServicePage(u"zelk/Question.aspx?uid=%d&loginSign=%s", LoginValues());
}

}  // namespace ui
