#pragma once

// Payloads of the main window's private messages (their numbers are in
// core/window_messages.h). Workers allocate one, post it with the message and never touch it
// again; the window thread frees it after handling, also when the message is dropped. The
// records only name controls and views: header-only, so that the feature folders that post them
// need not link the main frame.

#include <cstdint>
#include <memory>
#include <string>

#include "platform/instance_channel.h"
#include "skinui/control.h"
#include "skinui/lib_object_view.h"

namespace core {

// WM_URL_PROTOCOL_ARRIVED: the "Zelk://" request a later start handed over, as it arrived.
// The later start waits until the payload is freed (handled or dropped): its receipt answers
// it then.
struct UrlProtocolPayload {
  std::u16string request;
  std::unique_ptr<platform::InstanceListener::Receipt> receipt;
};

// WM_LIST_ADD_ITEM: a row built on a worker, for the list of that name.
struct ListItemPayload {
  std::string listName;
  std::unique_ptr<skinui::Control> item;
};

// WM_LIST_SHOW_LOADING: shows or hides the loading animation of a list.
struct ListLoadingPayload {
  std::string listName;
  bool loading = false;
};

// WM_VIEW_ENABLE: the paged view's EnableNavigation with the flag. The view must be one of the
// main frame's own; any other is refused.
struct ViewEnablePayload {
  skinui::CLibObjectView* view = nullptr;
  bool enable = false;
};

// WM_VIEW_SET_PAGER: the page shown and the page count of a paged view (total: the number of
// hits, kept for the record).
struct ViewPagerPayload {
  skinui::CLibObjectView* view = nullptr;
  std::int32_t page = 0;
  std::int32_t pageCount = 0;
  std::int32_t total = 0;
};

// WM_LIST_EMPTY_IMAGE: a list's load ended; when it holds no rows it shows a picture that tells
// why (the network failed, the search found nothing, there is nothing).
struct ListEmptyImagePayload {
  std::string listName;
  bool networkFailure = false;
};

// WM_CONTAINER_ADD: a control for the container of that name.
struct ContainerAddPayload {
  std::string containerName;
  std::unique_ptr<skinui::Control> control;
};

// WM_CONTAINER_CLEAR: removes every child of the container of that name.
struct ContainerClearPayload {
  std::string containerName;
};

// WM_UNREAD_MESSAGES: the number of the user's unread messages.
struct UnreadMessagesPayload {
  std::int32_t count = 0;
};

// WM_REGISTER_REPLY, WM_CHANGE_PASSWORD_REPLY, WM_SMS_CODE_REPLY: the service's result (1 done)
// and its message (ANSI), or the text of the failure that kept the request from it.
struct AccountReplyPayload {
  std::int32_t result = 0;
  std::string msg;
};

// WM_LOGIN_REPLY: the login's result and message and the user it logged in (texts ANSI).
struct LoginReplyPayload {
  std::int32_t result = 0;
  std::string msg;
  std::int32_t uid = 0;
  std::string loginSign;
  std::string nickName;
  std::string imageUrl;
};

// WM_USER_IMAGE: the avatar picture the user center shows; empty when there is none.
struct UserImagePayload {
  std::string path;
};

// WM_SUMMARY_COUNTS: the service's totals of installations and of apps (0: none known).
struct SummaryCountsPayload {
  std::int32_t installTotal = 0;
  std::int32_t appTotal = 0;
};

// WM_NOTICE_CLICKED carries the notice value as a plain `int` (the popup notice posts it).

}  // namespace core
