#include "ui/download_receiver.h"

namespace ui {

DownloadReceiver DownloadReceiverFor(knowledge::StoreFileKind kind) {
  switch (kind) {
    case knowledge::StoreFileKind::Knowlege:
      return DownloadReceiver::KnowledgeLists;
    case knowledge::StoreFileKind::App:
    case knowledge::StoreFileKind::Platform:
      return DownloadReceiver::AppCenter;
    case knowledge::StoreFileKind::UserProfile:
      break;
  }
  return DownloadReceiver::Nobody;
}

}  // namespace ui
