#pragma once

#include <cstdint>

#include "core/window_messages.h"
#include "knowledge/download_messages.h"
#include "knowledge/knowledge_lists.h"
#include "platform/payload.h"

namespace knowledge_testing {

// What reached the window besides the messages the lists handle.
struct RoutedMessages {
  int permissions = 0;
  int networkErrors = 0;
};

// Hands the private messages of a knowledge download to the lists as the main frame does.
inline void RouteToKnowledgeLists(knowledge::KnowledgeLists& lists, std::uint32_t message,
                                  platform::Payload& payload, RoutedMessages& routed) {
  switch (message) {
    case core::WM_DOWNLOAD_STARTED:
      if (auto* started = payload.get<knowledge::DownloadStarted>()) {
        lists.OnDownloadStarted(*started);
      }
      return;
    case core::WM_DOWNLOAD_PROGRESS:
      if (auto* progress = payload.get<knowledge::DownloadProgress>()) {
        lists.OnDownloadProgress(*progress);
      }
      return;
    case core::WM_DOWNLOAD_ENDED:
      if (auto* ended = payload.get<knowledge::DownloadEnded>()) lists.OnDownloadEnded(*ended);
      return;
    case core::WM_DOWNLOAD_PERMISSION:
      ++routed.permissions;
      return lists.OnDownloadPermission(payload);
    case core::WM_NETWORK_ERROR:
      ++routed.networkErrors;
      return;
    default:
      return;
  }
}

// The knowledge tab as the main window's layout holds it: the search home, the results, the
// two lists of the download manager.
inline constexpr char kDownloadListsLayout[] = R"(<Window size="800,600">
  <VerticalLayout name="Root">
    <TabLayout name="tluDesktop">
      <Control/>
      <VerticalLayout>
        <TabLayout name="tluKnowlege_Desktop">
          <VerticalLayout>
            <Combo name="cmbKnowlegeSearchType"/>
            <Edit name="txtKnowlegeSearchKeyword"/>
          </VerticalLayout>
          <VerticalLayout>
            <Combo name="cmbKnowlegeSearchResultSearchType" visible="false"/>
            <Edit name="txtKnowlegeSearchResultKeyword"/>
            <List name="lstKnowlegeSearchResult"/>
          </VerticalLayout>
          <List name="lstKnowlegeDownloading"/>
          <List name="lstKnowlegeDownloaded" vscrollbar="true"/>
        </TabLayout>
      </VerticalLayout>
    </TabLayout>
    <Option name="quickBar_Knowlege" group="quickBar"/>
    <Option name="knowlege_quickBar_downloding" group="knowlegeQuickBar"/>
  </VerticalLayout>
</Window>)";

}  // namespace knowledge_testing
