#include "ui/empty_list_row.h"

#include "skinui/horizontal_layout.h"

namespace ui {
namespace {

constexpr const char* kEmptyImageSuffix = "_EmptyImage";
constexpr int kEmptyImageMargin = 24;

}  // namespace

skinui::Control* FindEmptyListRow(skinui::Container& list) {
  const std::string name = list.GetName() + kEmptyImageSuffix;
  for (int i = 0; i < list.GetCount(); ++i) {
    if (skinui::Control* child = list.GetItemAt(i); child != nullptr && child->GetName() == name) {
      return child;
    }
  }
  return nullptr;
}

std::unique_ptr<skinui::Control> MakeEmptyListRow(const std::string& listName,
                                                  const std::string& image, skinui::Size shown) {
  auto row = std::make_unique<skinui::HorizontalLayout>();
  row->SetName(listName + kEmptyImageSuffix);
  row->SetMouseEnabled(false);
  row->SetFixedHeight(shown.cy + 2 * kEmptyImageMargin);
  row->SetInset({0, kEmptyImageMargin, 0, kEmptyImageMargin});
  row->Add(std::make_unique<skinui::Control>());
  auto picture = std::make_unique<skinui::Control>();
  picture->SetName(listName + kEmptyImageSuffix + "_Picture");
  picture->SetMouseEnabled(false);
  picture->SetFixedWidth(shown.cx);
  picture->SetFixedHeight(shown.cy);
  picture->SetBkImage(image);
  row->Add(std::move(picture));
  row->Add(std::make_unique<skinui::Control>());
  return row;
}

}  // namespace ui
