#include "knowledge/knowlege_view.h"

namespace knowledge {

const skinui::PagerNames& CKnowlegeView::Names() {
  static const skinui::PagerNames names{
      "ouKnowlege_Prev",
      "ouKnowlege_Next",
      "ouKnowlege_PageIndex_",
      "hluKnowlegePageIndexFillArea",
      {"txtKnowlegeSearchResultKeyword", "btnKnowlegeSearchResultSearch",
       "btnKnowlegeSearchResultGoBack"}};
  return names;
}

}  // namespace knowledge
