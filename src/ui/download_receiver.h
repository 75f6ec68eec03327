#pragma once

#include "knowledge/download_record.h"

namespace ui {

// Who in the main window follows a download: the knowledge lists follow documents, the app
// center follows app packages and the platform runtimes they need; nobody follows user-profile
// files.
enum class DownloadReceiver { KnowledgeLists, AppCenter, Nobody };

DownloadReceiver DownloadReceiverFor(knowledge::StoreFileKind kind);

}  // namespace ui
