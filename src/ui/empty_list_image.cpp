#include "ui/empty_list_image.h"

#include <algorithm>

namespace ui {
namespace {

// Above and below the picture, as the row that shows it leaves.
constexpr int kMargin = 24;

}  // namespace

std::string EmptyListImage(std::string_view listName, bool networkFailure, bool searchTextEmpty) {
  if (networkFailure) return "net_error.png";
  if (listName == "lstAppMarketList" && !searchTextEmpty) return "nosearchapp.png";
  if (listName == "lstKnowlegeSearchResult" && !searchTextEmpty) return "nosearchfiles.png";
  return "nodatainfo.png";
}

skinui::Size EmptyListImageSize(std::string_view image) {
  if (image == "net_error.png") return {173, 130};
  if (image == "nosearchapp.png" || image == "nosearchfiles.png") return {240, 180};
  return {300, 300};
}

skinui::Size FitEmptyListImage(skinui::Size picture, skinui::Size list) {
  if (picture.cx <= 0 || picture.cy <= 0) return {0, 0};
  const int roomX = std::max(list.cx - 2 * kMargin, 0);
  const int roomY = std::max(list.cy - 2 * kMargin, 0);
  if (picture.cx <= roomX && picture.cy <= roomY) return picture;
  // The smaller of the two scales, in integer arithmetic: cx/px vs cy/py.
  if (static_cast<long long>(roomX) * picture.cy <= static_cast<long long>(roomY) * picture.cx) {
    return {roomX, static_cast<int>(static_cast<long long>(picture.cy) * roomX / picture.cx)};
  }
  return {static_cast<int>(static_cast<long long>(picture.cx) * roomY / picture.cy), roomY};
}

}  // namespace ui
