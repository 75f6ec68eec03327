#include "ui/web_pages.h"

namespace ui {

// The tabs' pages and the web windows come with the embedded web pages.
void WebPages::DoRefreshForFAQ() {}
void WebPages::DoRefreshForVideoNavigate() {}
void WebPages::DoRefreshForGameNavigate() {}
void WebPages::DoRefreshNavigate() {}
void WebPages::DoRefreshForProjectTemplateNavigate() {}
void WebPages::DoRefreshShareEachDay() {}
void WebPages::DoShowIntroduce() {}
void WebPages::ShowFeedbackWindow() {}
void WebPages::ShowUserProfileWindow() {}
void WebPages::ShowUserMessageWindow() {}

}  // namespace ui
