// The operations of the features that are not built yet. Each is called where its feature
// takes part in the main window (start-up steps, dispatchers, timers, message handlers) and does
// nothing until the feature fills it in; a message payload it receives is freed after the call.
#include "ui/main_frame.h"

namespace ui {

void CMainFrame::InitShadowWindowClass() {}
void CMainFrame::CheckAppVersions() {}
void CMainFrame::SetUpHomeShareButtons() {}
void CMainFrame::DoRefreshHomeAppButtons() {}
void CMainFrame::DoInitAppMarketCategory() {}
void CMainFrame::DoRefreshDownloadList() {}
void CMainFrame::DoRefreshLastestNews() {}
void CMainFrame::DoResizeKnowlegeSearchArea() {}
void CMainFrame::DoRefreshForFAQ() {}
void CMainFrame::DoRefreshForVideoNavigate() {}
void CMainFrame::DoRefreshForGameNavigate() {}
void CMainFrame::DoRefreshNavigate() {}
void CMainFrame::DoRefreshForProjectTemplateNavigate() {}
void CMainFrame::DoRefreshShareEachDay() {}
void CMainFrame::DoRefreshSumaryInfo() {}
void CMainFrame::DoAutoLoginByConfig() {}
void CMainFrame::DoInitializeCommForms() {}
void CMainFrame::DoShowIntroduce() {}
void CMainFrame::OnLastestNewsItemClick(skinui::TNotifyUI&) {}
void CMainFrame::OnAppMarketSearch() {}
void CMainFrame::OnAppMarketCategorySelected(const std::string&) {}
void CMainFrame::OnAppMarketItemClick(const std::string&) {}
void CMainFrame::OnAppMarketPagerClick(const std::string&) {}
void CMainFrame::OnNetFrameworkClick(const std::string&) {}
void CMainFrame::ShowAppDownloadManager() {}
void CMainFrame::StartKnowlegeSearch() {}
void CMainFrame::OnKnowlegePagerClick(const std::string&) {}
void CMainFrame::QueueKnowledgeDownload(const std::string&) {}
void CMainFrame::OnKnowlegeDownloadingClick(const std::string&) {}
void CMainFrame::OnKnowlegeDownloadedClick(const std::string&) {}
void CMainFrame::SwitchKnowlegeDownloadMngPage(const std::string&) {}
void CMainFrame::OnHomeAppClick(const std::string&, skinui::Point) {}
void CMainFrame::ToggleHomeAppEditMode() {}
void CMainFrame::OnHomeAppPagerClick(const std::string&) {}
void CMainFrame::OnMainMenuItem(const std::string&) {}
void CMainFrame::OnUserCenterMenuItem(const std::string&) {}
void CMainFrame::OpenMainMenu(skinui::Point) {}
void CMainFrame::OpenUserCenterMenu(skinui::Point) {}
void CMainFrame::ShowLoginFrame() {}
void CMainFrame::ShowRegisterFrame() {}
void CMainFrame::DoLogin(bool) {}
void CMainFrame::DoRegister() {}
void CMainFrame::DoChangePassword() {}
void CMainFrame::OpenForgetPasswordPage() {}
void CMainFrame::DoSendSMSCode() {}
void CMainFrame::OnShareClick(const std::string&) {}
void CMainFrame::OnAdButtonClick(const std::string&) {}
void CMainFrame::OpenNewsSite() {}
void CMainFrame::OpenCustomerService() {}
void CMainFrame::ShowFeedbackWindow() {}
void CMainFrame::ShowContactWindow() {}
void CMainFrame::ShowUserProfileWindow() {}
void CMainFrame::ShowUserMessageWindow() {}
void CMainFrame::SendHeartbeat() {}
void CMainFrame::OnAdTimer() {}
void CMainFrame::RefreshSMSCountdown() {}
void CMainFrame::RestartKnowledgeQueue() {}
void CMainFrame::QueryUnreadMessages() {}
void CMainFrame::CheckKnowlegeResultRow(skinui::Control&) {}
void CMainFrame::OnAppCategoryAdd(platform::Payload&) {}
void CMainFrame::OnAppCategorySelect(platform::Payload&) {}
void CMainFrame::OnKnowledgeDownloadStarted(const knowledge::DownloadStarted&) {}
void CMainFrame::OnKnowledgeDownloadProgress(const knowledge::DownloadProgress&) {}
void CMainFrame::OnKnowledgeDownloadEnded(const knowledge::DownloadEnded&) {}
void CMainFrame::OnAppDownloadStarted(const knowledge::DownloadStarted&) {}
void CMainFrame::OnAppDownloadProgress(const knowledge::DownloadProgress&) {}
void CMainFrame::OnAppDownloadEnded(const knowledge::DownloadEnded&) {}
void CMainFrame::DoAfterRegister(platform::Payload&) {}
void CMainFrame::DoAfterLogin(platform::Payload&) {}
void CMainFrame::DoAfterChangePassword(platform::Payload&) {}
void CMainFrame::DoAfterSendSMSCode(platform::Payload&) {}
void CMainFrame::OnDownloadPermission(platform::Payload&) {}
void CMainFrame::OnFlyIconStep(platform::Payload&) {}
void CMainFrame::OnFlyIconEnd(platform::Payload&) {}
void CMainFrame::LoadUserImage() {}
void CMainFrame::Relogin() {}

void CMainFrame::ProcessUrlProtocol(const std::u16string& request) {
  // The request is kept in the log until the download requests of web pages are served here.
  Log(std::u16string_view(request));
}

}  // namespace ui
