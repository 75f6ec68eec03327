#include "knowledge/share_buttons.h"

#include <array>
#include <charconv>

namespace knowledge {
namespace {

using net::ShareTarget;

struct TargetLook {
  ShareTarget target;
  std::string_view namePart;
  std::u16string_view tooltip;
};

// In the order a name is searched for them.
constexpr std::array<TargetLook, 5> kTargets = {{
    {ShareTarget::All, "ShareToAll", u"分享到所有社交媒体"},
    {ShareTarget::QQZone, "ShareToQQZone", u"QQ空间"},
    {ShareTarget::QQWeiBo, "ShareToQQWeiBo", u"QQ微博"},
    {ShareTarget::Sina, "ShareToSina", u"新浪微博"},
    {ShareTarget::Baidu, "ShareToBaidu", u"百度空间"},
}};

struct PlaceName {
  SharePlace place;
  std::string_view namePart;
};

// In the order a name is searched for them.
constexpr std::array<PlaceName, 4> kPlaces = {{
    {SharePlace::HomeRight, "HomeRight"},
    {SharePlace::AppMarketItem, "AppMarketItem"},
    {SharePlace::KnowlegeDownloading, "KnowlegeDownloading"},
    {SharePlace::KnowlegeDownloaded, "KnowlegeDownloaded"},
}};

const TargetLook* LookOf(ShareTarget target) {
  for (const TargetLook& look : kTargets) {
    if (look.target == target) return &look;
  }
  return nullptr;
}

std::string_view PlacePart(SharePlace place) {
  for (const PlaceName& name : kPlaces) {
    if (name.place == place) return name.namePart;
  }
  return {};
}

}  // namespace

std::string ShareButtonName(ShareTarget target, SharePlace place, int index) {
  const TargetLook* look = LookOf(target);
  return "btnShareTo_" + std::string(look != nullptr ? look->namePart : "") + "_For_" +
         std::string(PlacePart(place)) + "_" + std::to_string(index);
}

void SetUpShareButton(skinui::Control& button, bool large, ShareTarget target, SharePlace place,
                      int index) {
  const int size = large ? 32 : 16;
  const int square = static_cast<int>(target) - 1;
  const TargetLook* look = LookOf(target);
  button.SetText(u"");
  button.SetBkImage("file='share_to/sharebtn_" + std::to_string(size) + ".png' source='" +
                    std::to_string(size * square) + ",0," + std::to_string(size * (square + 1)) +
                    "," + std::to_string(size) + "'");
  button.SetToolTip(look != nullptr ? std::u16string(look->tooltip) : std::u16string());
  button.SetFixedWidth(size);
  button.SetFixedHeight(size);
  button.SetName(ShareButtonName(target, place, index));
}

ShareClick ParseShareButtonName(std::string_view name) {
  ShareClick click;
  std::string_view targetPart;
  for (const TargetLook& look : kTargets) {
    if (name.size() > 1 && name.find(look.namePart, 1) != std::string_view::npos) {
      click.target = look.target;
      targetPart = look.namePart;
      break;
    }
  }
  std::string_view placePart;
  for (const PlaceName& place : kPlaces) {
    if (name.find("_For_" + std::string(place.namePart)) != std::string_view::npos) {
      click.place = place.place;
      placePart = place.namePart;
      break;
    }
  }
  const std::string prefix =
      "btnShareTo_" + std::string(targetPart) + "_For_" + std::string(placePart) + "_";
  if (name.starts_with(prefix)) {
    const std::string_view rest = name.substr(prefix.size());
    int index = 0;
    const auto [end, error] = std::from_chars(rest.data(), rest.data() + rest.size(), index);
    if (error == std::errc() && end == rest.data() + rest.size() && index >= 0) {
      click.index = index;
    }
  }
  return click;
}

void Share(core::FeatureHost& host, ShareTarget target, const std::u16string& loginSign,
           const std::u16string& fileName) {
  for (const std::u16string& url :
       net::SharePageUrls(host.Binding(), target, loginSign, fileName)) {
    host.ShellOpen(url);
  }
}

}  // namespace knowledge
