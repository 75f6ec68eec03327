#include "ui/faq_question_frame.h"

namespace ui {

CFAQQuestionFrame::CFAQQuestionFrame(skinui::UiContext& context, const WebFrameServices& services)
    : CWebFrame(context, services,
                {"UIFAQQuestionForm", u"浏览&回复问题", "FAQQuestionForm.xml", "ie_for_faq_anwser",
                 false, false, false, false}) {}

std::optional<std::string> CFAQQuestionFrame::PageAddress() {
  std::vector<net::UrlValue> values;
  values.emplace_back(questionId_);
  for (net::UrlValue& value : LoginValues()) values.push_back(std::move(value));
  return ServicePage(u"zelk/Ansers.aspx?id=%d&uid=%d&loginSign=%s", values);
}

}  // namespace ui
