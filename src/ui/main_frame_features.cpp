#include "ui/main_frame_features.h"

namespace ui {
namespace {

template <class T>
void MakeIfMissing(std::unique_ptr<T>& controller, core::FeatureHost& host) {
  if (!controller) controller = std::make_unique<T>(host);
}

}  // namespace

void CompleteFeatures(core::FeatureHost& host, MainFrameFeatures& features) {
  MakeIfMissing(features.account, host);
  MakeIfMissing(features.userCenter, host);
  MakeIfMissing(features.knowledgeSearch, host);
  MakeIfMissing(features.knowledgeLists, host);
  MakeIfMissing(features.appCenter, host);
  MakeIfMissing(features.homeAppButtons, host);
  MakeIfMissing(features.home, host);
  MakeIfMissing(features.webPages, host);
  MakeIfMissing(features.windows, host);
}

}  // namespace ui
