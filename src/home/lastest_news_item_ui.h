#pragma once

#include <string>

#include "knowledge/download_row_layout.h"
#include "skinui/label.h"
#include "skinui/list_container_element.h"

namespace home {

// A row of the latest news "lstLastestNews": the title as the row shows it, the whole title as
// its tooltip, and the page the row opens.
class CLastestNewsItemUI : public skinui::ListContainerElement {
 public:
  static constexpr char kLayout[] = "LastestNewsItem.xml";
  static constexpr int kHeight = 20;
  static constexpr char kNamePrefix[] = "LastestNewsItem_";

  // Builds the row from the layout of the skin folder; a layout that cannot be built leaves the
  // row empty (logged).
  CLastestNewsItemUI(const std::string& skinFolder, const knowledge::RowLog& log);

  // Title and page address are ANSI texts of the service's reply.
  void SetData(const std::string& title, const std::string& url);
  void PlaceAt(int position);

  const std::string& Title() const { return title_; }
  const std::string& Url() const { return url_; }

 private:
  std::string title_;
  std::string url_;
  skinui::Label* label_ = nullptr;
};

}  // namespace home
