#include "ui/faq_view.h"

namespace ui {

const skinui::PagerNames& CFAQView::Names() {
  static const skinui::PagerNames names{"ouFAQ_Prev",
                                        "ouFAQ_Next",
                                        "ouFAQ_PageIndex_",
                                        "hluFAQPageIndexFillArea",
                                        {"txtFAQSearch", "btnFAQSearch", "btnGoBackForFAQ"}};
  return names;
}

}  // namespace ui
