#pragma once

#include <string>
#include <vector>

#include "skinui/pager_arithmetic.h"

namespace skinui {

class PaintManager;
class Window;

// The control names of one paged view's pager.
struct PagerNames {
  std::string prev;
  std::string next;
  std::string indexPrefix;  // + 1 … 10
  std::string spacer;
  // Further controls that EnableNavigation switches with the pager (search box and buttons).
  std::vector<std::string> further;
};

// The paging state of one list that the service delivers page by page, and its pager (Prev,
// Next, ten page buttons centred by a spacer). The base implementations do nothing; each view
// implements EnableNavigation and RefreshPageIndexButtons with its own control names.
class CLibObjectView {
 public:
  explicit CLibObjectView(Window* owner);
  virtual ~CLibObjectView() = default;

  virtual void EnableNavigation(bool enable);
  // Lays the pager out again with the stored page and page count.
  virtual void RefreshPage();
  // Stores the page and count and lays the pager out; the third argument is not used.
  virtual void RefreshPageIndexButtons(int currentPage, int pageCount, int unused = 0);

  Window* GetOwner() const { return owner_; }
  int GetCurrentPage() const { return currentPage_; }
  int GetPageCount() const { return pageCount_; }

 protected:
  void EnableNavigationOf(const PagerNames& names, bool enable);
  void LayoutPagerOf(const PagerNames& names, int currentPage, int pageCount);

  Window* owner_;
  int currentPage_ = 0;
  int pageCount_ = 0;
};

// The looks of the pager buttons.
namespace pager_images {
inline constexpr const char* kPrevNormal = "file='page_draw.png' source='21,0,42,24'";
inline constexpr const char* kPrevHot = "file='page_draw.png' source='21,0,42,244'";
inline constexpr const char* kPrevDisabled = "file='page_draw.png' source='0,0,21,24'";
inline constexpr const char* kNextNormal = "file='page_draw.png' source='63,0,84,24'";
inline constexpr const char* kNextDisabled = "file='page_draw.png' source='42,0,63,24'";
inline constexpr const char* kIndexNormal = "file='page_bkg.png' source='0,0,21,24'";
inline constexpr const char* kIndexHot = "file='page_bkg.png' source='21,0,42,24'";
inline constexpr const char* kIndexPushed = "file='page_bkg.png' source='43,0,63,24'";
}  // namespace pager_images

// Gives the pager's Prev, Next and page buttons the look and state of a computed layout (the
// spacer is left to the caller, whose centring differs).
void ApplyPagerLayout(PaintManager& pm, const PagerNames& names, const PagerLayout& layout);

// A paged view whose pager is made of the given controls: what every feature's view shares.
class NamedPagerView : public CLibObjectView {
 public:
  NamedPagerView(Window* owner, const PagerNames& names) : CLibObjectView(owner), names_(names) {}
  void EnableNavigation(bool enable) override { EnableNavigationOf(names_, enable); }
  void RefreshPageIndexButtons(int currentPage, int pageCount, int = 0) override {
    LayoutPagerOf(names_, currentPage, pageCount);
  }

 private:
  const PagerNames& names_;
};

}  // namespace skinui
