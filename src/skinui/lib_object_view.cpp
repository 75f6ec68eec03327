#include "skinui/lib_object_view.h"

#include "skinui/option.h"
#include "skinui/pager_arithmetic.h"
#include "skinui/text_utf.h"
#include "skinui/window.h"

namespace skinui {

namespace {

constexpr int kButtonWidth = 21;
constexpr int kButtonHeight = 24;

void Look(Button* button, const char* normal, const char* hot, const char* pushed,
          const char* disabled) {
  button->SetNormalImage(normal);
  button->SetHotImage(hot);
  button->SetPushedImage(pushed);
  if (disabled != nullptr) button->SetDisabledImage(disabled);
  button->SetFixedWidth(kButtonWidth);
  button->SetFixedHeight(kButtonHeight);
}

}  // namespace

CLibObjectView::CLibObjectView(Window* owner) : owner_(owner) {}

void CLibObjectView::EnableNavigation(bool) {}

void CLibObjectView::RefreshPage() {
  RefreshPageIndexButtons(currentPage_, pageCount_, 0);
}

void CLibObjectView::RefreshPageIndexButtons(int, int, int) {}

void CLibObjectView::EnableNavigationOf(const PagerNames& names, bool enable) {
  if (owner_ == nullptr) return;
  PaintManager& pm = owner_->GetPaintManager();
  for (const std::string* name : {&names.prev, &names.next}) {
    if (Control* c = pm.FindOrLog<Control>(*name)) c->SetEnabled(enable);
  }
  for (int k = 1; k <= 10; ++k) {
    if (Control* c = pm.FindControl(names.indexPrefix + std::to_string(k))) c->SetEnabled(enable);
  }
  for (const std::string& name : names.further) {
    if (Control* c = pm.FindOrLog<Control>(name)) c->SetEnabled(enable);
  }
}

void ApplyPagerLayout(PaintManager& pm, const PagerNames& names, const PagerLayout& layout) {
  using namespace pager_images;
  Button* prev = pm.FindOrLog<Button>(names.prev);
  Button* next = pm.FindOrLog<Button>(names.next);
  if (prev != nullptr) {
    Look(prev, kPrevNormal, kPrevHot, kPrevNormal, kPrevDisabled);
    prev->SetText(u"");
    prev->SetVisible(layout.prevNextVisible);
    prev->SetEnabled(layout.prevEnabled);
  }
  if (next != nullptr) {
    Look(next, kNextNormal, kNextNormal, kNextNormal, kNextDisabled);
    next->SetText(u"");
    next->SetVisible(layout.prevNextVisible);
    next->SetEnabled(layout.nextEnabled);
  }
  for (int k = 0; k < 10; ++k) {
    auto* button = pm.TryFind<Button>(names.indexPrefix + std::to_string(k + 1));
    if (button == nullptr) continue;
    Look(button, kIndexNormal, kIndexHot, kIndexPushed, nullptr);
    button->SetText(Utf8ToUtf16(std::to_string(layout.numbers[k])));
    button->SetVisible(layout.visible[k]);
    if (auto* option = dynamic_cast<Option*>(button)) {
      option->SetSelectedImage(kIndexPushed);
      option->Selected(layout.selected[k]);
    }
  }
}

void CLibObjectView::LayoutPagerOf(const PagerNames& names, int currentPage, int pageCount) {
  currentPage_ = currentPage;
  pageCount_ = pageCount;
  if (owner_ == nullptr) return;
  PaintManager& pm = owner_->GetPaintManager();
  const PagerLayout layout = ComputePager(currentPage, pageCount);
  ApplyPagerLayout(pm, names, layout);
  if (Control* spacer = pm.FindOrLog<Control>(names.spacer)) {
    spacer->SetFixedWidth(PagerSpacerWidth(owner_->GetWindowRect().Width(), layout.visibleCount));
  }
}

}  // namespace skinui
