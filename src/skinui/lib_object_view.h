#pragma once

#include <string>
#include <vector>

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

class CAppMarketView : public CLibObjectView {
 public:
  using CLibObjectView::CLibObjectView;
  static const PagerNames& Names();
  void EnableNavigation(bool enable) override { EnableNavigationOf(Names(), enable); }
  void RefreshPageIndexButtons(int currentPage, int pageCount, int = 0) override {
    LayoutPagerOf(Names(), currentPage, pageCount);
  }

  int categoryId = 0;  // the selected category, sent as "cid"
  int pageIndex = 1;   // the page to load, sent as "index"
};

class CKnowlegeView : public CLibObjectView {
 public:
  using CLibObjectView::CLibObjectView;
  static const PagerNames& Names();
  void EnableNavigation(bool enable) override { EnableNavigationOf(Names(), enable); }
  void RefreshPageIndexButtons(int currentPage, int pageCount, int = 0) override {
    LayoutPagerOf(Names(), currentPage, pageCount);
  }

  bool resultPageShown = false;
};

class CFAQView : public CLibObjectView {
 public:
  using CLibObjectView::CLibObjectView;
  static const PagerNames& Names();
  void EnableNavigation(bool enable) override { EnableNavigationOf(Names(), enable); }
  void RefreshPageIndexButtons(int currentPage, int pageCount, int = 0) override {
    LayoutPagerOf(Names(), currentPage, pageCount);
  }
};

}  // namespace skinui
