#include "appcenter/app_market_download_mng_frame.h"

#include <exception>
#include <memory>

#include "appcenter/app_download_list.h"
#include "skinui/list.h"
#include "skinui/ui_context.h"
#include "skinui/window_messages.h"

namespace appcenter {

using namespace skinui;

namespace {

constexpr char kList[] = "lstDownloadingList";

}  // namespace

CAppMarketDownloadMngFrame::CAppMarketDownloadMngFrame(UiContext& context, Window& mainWindow,
                                                       const Control& opener, AppDownloadList& list,
                                                       std::string appDirectory,
                                                       knowledge::RowLog log)
    : Window(context),
      mainWindow_(mainWindow),
      openerPos_(opener.GetPos()),
      list_(&list),
      appDirectory_(std::move(appDirectory)),
      log_(std::move(log)) {
  paintManager_.SetDefaultFont("微软雅黑", 12, false, false, false);
}

CAppMarketDownloadMngFrame::~CAppMarketDownloadMngFrame() {
  Forget();
  paintManager_.RemoveNotifier(this);
  paintManager_.AttachDialog(nullptr);
}

bool CAppMarketDownloadMngFrame::Open() {
  if (!Create(nullptr, u"AppMarketDownloadMngFrame", WS_POPUP | WS_VISIBLE,
              WS_EX_NOACTIVATE | WS_EX_TOOLWINDOW | WS_EX_TOPMOST)) {
    return false;
  }
  // Shown without activation; it takes the focus here so that a click anywhere else closes it.
  GetContext().SetActiveWindow(this);
  return true;
}

void CAppMarketDownloadMngFrame::Forget() {
  if (list_ != nullptr && list_->managerWindow == this) list_->managerWindow = nullptr;
  list_ = nullptr;
}

std::intptr_t CAppMarketDownloadMngFrame::HandleMessage(std::uint32_t message,
                                                        std::uintptr_t wParam,
                                                        std::intptr_t lParam) {
  switch (message) {
    case WM_CREATE:
      AttachLayout(kLayout, log_);
      paintManager_.AddNotifier(this);
      Place();
      return 0;
    case WM_ACTIVATE:
      if (wParam == 0) Close();
      return 0;
    case WM_KILLFOCUS:
      Close();
      return 0;
    case WM_CLOSE:
    case WM_DESTROY:
      Forget();
      break;
    default:
      break;
  }
  return Window::HandleMessage(message, wParam, lParam);
}

void CAppMarketDownloadMngFrame::Place() {
  if (auto* list = paintManager_.TryFind<List>(kList)) list->EnableScrollBar(true, false);
  const Size size = paintManager_.GetInitSize();
  const int width = size.cx > 0 ? size.cx : GetWindowRect().Width();
  const int height = size.cy > 0 ? size.cy : GetWindowRect().Height();
  const Point corner =
      mainWindow_.ClientToScreen({openerPos_.right - width, openerPos_.bottom - 3});
  MoveWindow({corner.x, corner.y, corner.x + width, corner.y + height});
}

void CAppMarketDownloadMngFrame::FillRows() {
  auto* list = paintManager_.TryFind<List>(kList);
  if (list == nullptr || list_ == nullptr) return;
  list->RemoveAll();
  const std::string skinFolder = GetContext().ResourcePath();
  for (const AppDownloadList::EntryRef& entry : list_->Entries()) {
    const AppMarketItemData& data = entry->item->Data();
    auto row = std::make_unique<CAppMarketDownloadMngItemUI>(skinFolder, appDirectory_, log_);
    row->SetData(data.appName, data.displayName, data.iconName, data.installPackageName);
    CAppMarketDownloadMngItemUI* added =
        static_cast<CAppMarketDownloadMngItemUI*>(list->Add(std::move(row)));
    if (added == nullptr) continue;
    added->HideButton();
    added->ShowProgress(true);
    added->LoadIcon();
  }
}

void CAppMarketDownloadMngFrame::Notify(TNotifyUI& msg) {
  if (msg.sType != "windowinit") return;
  try {
    FillRows();
  } catch (const std::exception& e) {
    if (log_) log_(std::string("应用下载管理窗口出现异常:") + e.what());
  }
}

CAppMarketDownloadMngItemUI* CAppMarketDownloadMngFrame::FindRow(const std::u16string& name) {
  auto* list = paintManager_.TryFind<List>(kList);
  if (list == nullptr) return nullptr;
  for (int i = 0; i < list->GetCount(); ++i) {
    auto* row = dynamic_cast<CAppMarketDownloadMngItemUI*>(list->GetItemAt(i));
    if (row != nullptr && row->InstallPackageName() == name) return row;
  }
  return nullptr;
}

void CAppMarketDownloadMngFrame::OnStarted(const std::u16string& name) {
  if (CAppMarketDownloadMngItemUI* row = FindRow(name)) row->OnStarted();
}

void CAppMarketDownloadMngFrame::OnProgress(const std::u16string& name, std::int32_t total,
                                            std::int32_t done) {
  if (CAppMarketDownloadMngItemUI* row = FindRow(name)) row->OnProgress(total, done);
}

void CAppMarketDownloadMngFrame::RemoveRow(const std::u16string& name) {
  CAppMarketDownloadMngItemUI* row = FindRow(name);
  auto* list = paintManager_.TryFind<List>(kList);
  if (row != nullptr && list != nullptr) list->Remove(row);
}

}  // namespace appcenter
