#include "home/home_controller.h"

#include <algorithm>
#include <cctype>
#include <charconv>
#include <filesystem>
#include <memory>
#include <vector>

#include "appcenter/app_market_item_ui.h"
#include "core/app_directory.h"
#include "core/app_log.h"
#include "core/window_messages.h"
#include "home/ad_reply.h"
#include "home/ad_tab_ui.h"
#include "home/app_share_name.h"
#include "home/lastest_news_item_ui.h"
#include "home/news_reply.h"
#include "home/summary_counts.h"
#include "knowledge/share_buttons.h"
#include "net/endpoints.h"
#include "net/service_requests.h"
#include "net/service_transfer.h"
#include "net/text_conversion.h"
#include "net/usage_report.h"
#include "platform/code_page.h"
#include "skinui/image_cache.h"
#include "skinui/list.h"
#include "skinui/tab_layout.h"
#include "skinui/ui_context.h"
#include "skinui/window.h"

namespace home {
namespace {

constexpr char kNewsList[] = "lstLastestNews";
constexpr char kAdTabs[] = "tluAd_Desktop";
constexpr int kNewsCount = 20;

bool EqualsNoCase(std::string_view a, std::string_view b) {
  return std::ranges::equal(a, b, [](char x, char y) {
    return std::tolower(static_cast<unsigned char>(x)) ==
           std::tolower(static_cast<unsigned char>(y));
  });
}

// Clears a flag when the worker that set it ends, however it ends.
class FlagReset {
 public:
  explicit FlagReset(std::atomic<bool>& flag) : flag_(flag) {}
  ~FlagReset() { flag_ = false; }
  FlagReset(const FlagReset&) = delete;
  FlagReset& operator=(const FlagReset&) = delete;

 private:
  std::atomic<bool>& flag_;
};

// The picture a tab shows: the cached file, downloaded when missing; the skin's default when
// there is none or what came is no picture (then it is not kept, so a later run tries again).
std::string TabPicture(const core::ZelkLibBinding& lib, const std::string& adDataFolder,
                       const AdItem& item) {
  const std::string name = AdCacheFileName(
      item.id, net::WideToAnsiString(lib.GetFileName(net::AnsiToWide(item.adImageUrl))));
  if (name.empty()) return CAdTabUI::kDefaultPicture;
  const std::string path = adDataFolder + "/" + name;
  std::error_code error;
  if (!std::filesystem::exists(path, error)) {
    net::DownloadImageFile(lib, net::AnsiToWide(item.adImageUrl), net::AnsiToWide(path));
  }
  if (!std::filesystem::exists(path, error)) return CAdTabUI::kDefaultPicture;
  if (!skinui::IsDisplayablePicture(path)) {
    core::WriteLog(lib, "广告图片无法显示，已删除缓存文件: " + path);
    std::filesystem::remove(path, error);
    return CAdTabUI::kDefaultPicture;
  }
  return path;
}

}  // namespace

// ---------------------------------------------------------------------------------------------
// News

void HomeController::DoRefreshLastestNews() {
  if (newsLoading_->exchange(true)) return;
  const core::ServiceContext context = host_.Service();
  const std::string skinFolder = host_.OwnerWindow().GetContext().ResourcePath();
  const std::u16string url =
      net::ServiceRequestUrl(context.binding(), net::endpoints::kNews, {kNewsCount}).value_or(u"");
  context.loop->startWorker([context, skinFolder, url, loading = newsLoading_] {
    const FlagReset done(*loading);
    const core::ZelkLibBinding& lib = context.binding();
    const auto post = [&context](std::uint32_t message, auto payload) {
      context.postToMainWindow(message,
                               platform::Payload::make<decltype(payload)>(std::move(payload)));
    };
    post(core::WM_LIST_SHOW_LOADING, core::ListLoadingPayload{kNewsList, true});
    bool noNetwork = false;
    std::string reply;
    if (!net::GetServiceContent(lib, url, reply)) {
      core::WriteLog(lib, "OnRefreshLastestNewsThreadProc->" + reply);
      noNetwork = true;
      net::ReportRequestFailure(context);
    } else if (const auto news = ReadNewsReply(reply)) {
      // The new rows replace the old ones; a failed load keeps what the list shows.
      post(core::WM_CONTAINER_CLEAR, core::ContainerClearPayload{kNewsList});
      const auto log = [&lib](const std::string& line) { core::WriteLog(lib, line); };
      for (std::size_t i = 0; i < news->size(); ++i) {
        auto row = std::make_unique<CLastestNewsItemUI>(skinFolder, log);
        row->SetData((*news)[i].title, (*news)[i].url);
        row->PlaceAt(static_cast<int>(i));
        post(core::WM_LIST_ADD_ITEM, core::ListItemPayload{kNewsList, std::move(row)});
      }
    }
    post(core::WM_LIST_SHOW_LOADING, core::ListLoadingPayload{kNewsList, false});
    post(core::WM_LIST_EMPTY_IMAGE, core::ListEmptyImagePayload{kNewsList, noNetwork});
  });
}

void HomeController::OnLastestNewsItemClick(skinui::TNotifyUI& msg) {
  if (msg.pSender == nullptr) return;
  const std::string& name = msg.pSender->GetName();
  const std::string_view prefix = CLastestNewsItemUI::kNamePrefix;
  if (!name.starts_with(prefix)) return;
  int position = -1;
  const char* end = name.data() + name.size();
  if (std::from_chars(name.data() + prefix.size(), end, position).ptr != end) return;
  auto* list = host_.Find<skinui::List>(kNewsList);
  if (list == nullptr || position < 0 || position >= list->GetCount()) return;
  const auto* row = dynamic_cast<const CLastestNewsItemUI*>(list->GetItemAt(position));
  if (row != nullptr && !row->Url().empty()) host_.ShellOpen(net::AnsiToWide(row->Url()));
}

void HomeController::OpenNewsSite() {
  host_.ShellOpen(net::BuildServiceUrl(host_.Binding(), net::endpoints::kNewsSite));
}

// ---------------------------------------------------------------------------------------------
// Advertisements

void HomeController::OnAdTimer() {
  if (ads_->loading) return;
  if (ads_->loaded) {
    auto* tabs = host_.Find<skinui::TabLayout>(kAdTabs);
    if (tabs == nullptr || tabs->GetCount() == 0) return;
    tabs->SelectItem((tabs->GetCurSel() + 1) % tabs->GetCount());
    return;
  }
  if (host_.Find<skinui::TabLayout>(kAdTabs) == nullptr) return;
  ads_->loading = true;
  const core::ServiceContext context = host_.Service();
  const std::u16string url =
      net::BuildServiceUrl(context.binding(), net::endpoints::kAdvertisements);
  const std::string adData = core::JoinAppPath(host_.DataDirectory(), "AdData");
  context.loop->startWorker([context, url, adData, ads = ads_] {
    const FlagReset done(ads->loading);
    const core::ZelkLibBinding& lib = context.binding();
    std::string reply;
    if (!net::GetServiceContent(lib, url, reply)) {
      net::ReportRequestFailure(context);
      return;
    }
    const auto items = ReadAdReply(reply);
    // Nothing to show is retried on the next tick.
    if (!items || items->empty()) return;
    context.postToMainWindow(
        core::WM_CONTAINER_CLEAR,
        platform::Payload::make<core::ContainerClearPayload>(core::ContainerClearPayload{kAdTabs}));
    for (const AdItem& item : *items) {
      auto tab = std::make_unique<CAdTabUI>(item);
      tab->SetPicture(TabPicture(lib, adData, item));
      context.postToMainWindow(core::WM_CONTAINER_ADD,
                               platform::Payload::make<core::ContainerAddPayload>(
                                   core::ContainerAddPayload{kAdTabs, std::move(tab)}));
    }
    ads->loaded = true;
    context.postToMainWindow(core::WM_AD_SELECT_FIRST);
  });
}

void HomeController::SelectFirstAd() {
  if (auto* tabs = host_.Find<skinui::TabLayout>(kAdTabs);
      tabs != nullptr && tabs->GetCount() > 0) {
    tabs->SelectItem(0);
  }
}

void HomeController::OnAdButtonClick(const std::string& name) {
  auto* tabs = host_.Find<skinui::TabLayout>(kAdTabs);
  if (tabs == nullptr) return;
  for (int i = 0; i < tabs->GetCount(); ++i) {
    auto* tab = dynamic_cast<CAdTabUI*>(tabs->GetItemAt(i));
    if (tab == nullptr || !EqualsNoCase(tab->PictureButton().GetName(), name)) continue;
    net::ReportUserBehavior(host_.Service(), u"HomePage_Advertisement",
                            net::BehaviorKind::AdvertisementClicked);
    if (!tab->Item().targetUrl.empty()) host_.ShellOpen(net::AnsiToWide(tab->Item().targetUrl));
    return;
  }
}

// ---------------------------------------------------------------------------------------------
// Counters

void HomeController::DoRefreshSumaryInfo() {
  const core::ServiceContext context = host_.Service();
  const std::u16string url = net::BuildServiceUrl(context.binding(), net::endpoints::kStatistics);
  context.loop->startWorker([context, url] {
    std::string reply;
    core::SummaryCountsPayload counts;
    if (net::GetServiceContent(context.binding(), url, reply)) {
      counts = ReadSummaryReply(reply);
    } else {
      net::ReportRequestFailure(context);
    }
    context.postToMainWindow(core::WM_SUMMARY_COUNTS,
                             platform::Payload::make<core::SummaryCountsPayload>(counts));
  });
}

void HomeController::OnSummaryCounts(const core::SummaryCountsPayload& counts) {
  if (auto* install = host_.FindControl("lblInstallTotalCount")) {
    install->SetText(SummaryCountText(counts.installTotal));
  }
  if (auto* apps = host_.FindControl("lblAppTotalCount")) {
    apps->SetText(SummaryCountText(counts.appTotal));
  }
}

// ---------------------------------------------------------------------------------------------
// Sharing

void HomeController::SetUpHomeShareButtons() {
  for (const net::ShareTarget target :
       {net::ShareTarget::All, net::ShareTarget::QQZone, net::ShareTarget::QQWeiBo,
        net::ShareTarget::Sina, net::ShareTarget::Baidu}) {
    // The layout names them without an index; set up, they carry index 0.
    std::string name = knowledge::ShareButtonName(target, knowledge::SharePlace::HomeRight, 0);
    name.resize(name.size() - 2);
    if (skinui::Control* button = host_.FindControl(name)) {
      knowledge::SetUpShareButton(*button, /*large=*/true, target, knowledge::SharePlace::HomeRight,
                                  0);
    }
  }
}

void HomeController::OnShareClick(const std::string& name) {
  const knowledge::ShareClick click = knowledge::ParseShareButtonName(name);
  switch (click.place) {
    case knowledge::SharePlace::HomeRight:
      return knowledge::Share(host_, click.target, loginSign_(), u"");
    case knowledge::SharePlace::AppMarketItem: {
      // The item of the page the button belongs to; a page reloaded since has none there.
      auto* list = host_.Find<skinui::List>("lstAppMarketList");
      if (list == nullptr || click.index < 0 || click.index >= list->GetCount()) return;
      const auto* item =
          dynamic_cast<const appcenter::CAppMarketItemUI*>(list->GetItemAt(click.index));
      if (item == nullptr) return;
      return knowledge::Share(host_, click.target, loginSign_(),
                              AppShareName(item->Data().displayName));
    }
    default:
      return;
  }
}

}  // namespace home
