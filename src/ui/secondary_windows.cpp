#include "ui/secondary_windows.h"

#include "net/service_requests.h"

namespace ui {

void SecondaryWindows::OpenWebSite() {
  host_.ShellOpen(net::ServiceBaseUrl() + u"/");
}

// The secondary windows, the menus and the shadow come with the secondary windows.
void SecondaryWindows::InitShadowWindowClass() {}
void SecondaryWindows::DoInitializeCommForms() {}
void SecondaryWindows::OpenMainMenu(skinui::Point) {}
void SecondaryWindows::OpenUserCenterMenu(skinui::Point) {}
void SecondaryWindows::OnMainMenuItem(const std::string&) {}
void SecondaryWindows::OnUserCenterMenuItem(const std::string&) {}
void SecondaryWindows::ShowContactWindow() {}
void SecondaryWindows::OpenCustomerService() {}

}  // namespace ui
