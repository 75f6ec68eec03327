#include "ui/main_frame_features.h"

#include "net/text_conversion.h"

namespace ui {
namespace {

using account::SessionState;

template <class T>
void MakeIfMissing(std::unique_ptr<T>& controller, core::FeatureHost& host) {
  if (!controller) controller = std::make_unique<T>(host);
}

}  // namespace

void CompleteFeatures(core::FeatureHost& host, MainFrameFeatures& features) {
  MakeIfMissing(features.account, host);
  if (!features.userCenter) {
    features.userCenter = std::make_unique<account::UserCenter>(host, features.account->Session());
  }
  MakeIfMissing(features.knowledgeSearch, host);
  MakeIfMissing(features.knowledgeLists, host);
  MakeIfMissing(features.appCenter, host);
  MakeIfMissing(features.homeAppButtons, host);
  MakeIfMissing(features.home, host);
  MakeIfMissing(features.webPages, host);
  MakeIfMissing(features.windows, host);
  features.webPages->SetSession(features.account->Session());
  features.windows->SetLinks(features.webPages.get(), features.account.get());

  features.knowledgeLists->SetLoggedInUidQuery(
      [session = features.account->Session()]() -> std::optional<std::int32_t> {
        const SessionState state = session->Snapshot();
        if (!state.loggedIn) return std::nullopt;
        return state.uid;
      });
  features.knowledgeLists->SetLoginSignQuery(
      [session = features.account->Session()] { return net::AnsiToWide(session->loginSign()); });
  features.home->SetLoginSignQuery(
      [session = features.account->Session()] { return net::AnsiToWide(session->loginSign()); });
  features.knowledgeLists->SetShowLoginArea(
      [account = features.account.get()] { account->ShowLoginFrame(); });
  features.knowledgeSearch->SetDownloadHistory(&features.knowledgeLists->History());
  features.homeAppButtons->SetAppSearch(
      [&features](const std::u16string& text) { features.appCenter->SearchApps(text); });
  features.account->SetLoginFollowUps({.afterLogin =
                                           [&features] {
                                             features.knowledgeLists->RestartKnowledgeQueue();
                                             features.webPages->DoRefreshForFAQ();
                                             features.userCenter->QueryUnreadMessages();
                                           },
                                       .afterLogout =
                                           [&features] {
                                             features.knowledgeLists->DoRefreshDownloadList();
                                             features.webPages->DoRefreshForFAQ();
                                           }});
}

}  // namespace ui
