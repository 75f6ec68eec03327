#include "home/home_controller.h"

namespace home {

// The news, advertisements, counters and sharing come with the home page's content.
void HomeController::SetUpHomeShareButtons() {}
void HomeController::DoRefreshLastestNews() {}
void HomeController::DoRefreshSumaryInfo() {}
void HomeController::OnLastestNewsItemClick(skinui::TNotifyUI&) {}
void HomeController::OpenNewsSite() {}
void HomeController::OnAdTimer() {}
void HomeController::OnAdButtonClick(const std::string&) {}
void HomeController::OnShareClick(const std::string&) {}

}  // namespace home
