#include "appcenter/app_market_view.h"

namespace appcenter {

const skinui::PagerNames& CAppMarketView::Names() {
  static const skinui::PagerNames names{"ouAppMarket_Prev",
                                        "ouAppMarket_Next",
                                        "ouAppMarket_PageIndex_",
                                        "hluAppMarketPageIndexFillArea",
                                        {"txtAppMarketSearchEdit", "btnAppMarketSearch"}};
  return names;
}

}  // namespace appcenter
