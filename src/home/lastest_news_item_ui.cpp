#include "home/lastest_news_item_ui.h"

#include "home/news_reply.h"
#include "net/text_conversion.h"

namespace home {

CLastestNewsItemUI::CLastestNewsItemUI(const std::string& skinFolder,
                                       const knowledge::RowLog& log) {
  SetFixedHeight(kHeight);
  SetAttribute("width", "0");
  knowledge::BuildRowLayout(*this, skinFolder, kLayout, log);
  label_ = knowledge::FindRowControl<skinui::Label>(*this, "lblTitle", kLayout, log);
}

void CLastestNewsItemUI::SetData(const std::string& title, const std::string& url) {
  title_ = title;
  url_ = url;
  const std::u16string full = net::AnsiToWide(title);
  if (label_ != nullptr) {
    label_->SetText(NewsRowTitle(full));
    label_->SetToolTip(full);
  }
  SetToolTip(full);
}

void CLastestNewsItemUI::PlaceAt(int position) {
  SetName(kNamePrefix + std::to_string(position));
}

}  // namespace home
