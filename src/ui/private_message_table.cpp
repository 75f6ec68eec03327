#include "ui/private_message_table.h"

#include <array>

#include "core/window_messages.h"
#include "skinui/lib_popup_notify_form.h"

namespace ui {
namespace {

using namespace core;

static_assert(WM_NOTICE_CLICKED == skinui::kNoticeClickedMessage);

constexpr std::array kMessages = {
    PrivateMessageInfo{WM_URL_PROTOCOL_ARRIVED, "WM_URL_PROTOCOL_ARRIVED", false},
    PrivateMessageInfo{WM_LIST_ADD_ITEM, "WM_LIST_ADD_ITEM", true},
    PrivateMessageInfo{WM_LIST_SHOW_LOADING, "WM_LIST_SHOW_LOADING", true},
    PrivateMessageInfo{WM_VIEW_ENABLE, "WM_VIEW_ENABLE", true},
    PrivateMessageInfo{WM_VIEW_SET_PAGER, "WM_VIEW_SET_PAGER", true},
    PrivateMessageInfo{WM_APP_CATEGORY_ADD, "WM_APP_CATEGORY_ADD", true},
    PrivateMessageInfo{WM_APP_CATEGORY_SELECT, "WM_APP_CATEGORY_SELECT", true},
    PrivateMessageInfo{WM_DOWNLOAD_STARTED, "WM_DOWNLOAD_STARTED", true},
    PrivateMessageInfo{WM_DOWNLOAD_PROGRESS, "WM_DOWNLOAD_PROGRESS", true},
    PrivateMessageInfo{WM_DOWNLOAD_ENDED, "WM_DOWNLOAD_ENDED", true},
    PrivateMessageInfo{WM_HOME_APPS_REFRESH, "WM_HOME_APPS_REFRESH", false},
    PrivateMessageInfo{WM_LIST_EMPTY_IMAGE, "WM_LIST_EMPTY_IMAGE", true},
    PrivateMessageInfo{WM_CONTAINER_ADD, "WM_CONTAINER_ADD", false},
    PrivateMessageInfo{WM_CONTAINER_CLEAR, "WM_CONTAINER_CLEAR", false},
    PrivateMessageInfo{WM_UNREAD_MESSAGES, "WM_UNREAD_MESSAGES", false},
    PrivateMessageInfo{WM_NOTICE_CLICKED, "WM_NOTICE_CLICKED", false},
    PrivateMessageInfo{WM_REGISTER_REPLY, "WM_REGISTER_REPLY", false},
    PrivateMessageInfo{WM_LOGIN_REPLY, "WM_LOGIN_REPLY", false},
    PrivateMessageInfo{WM_CHANGE_PASSWORD_REPLY, "WM_CHANGE_PASSWORD_REPLY", false},
    PrivateMessageInfo{WM_SMS_CODE_REPLY, "WM_SMS_CODE_REPLY", false},
    PrivateMessageInfo{WM_DOWNLOAD_PERMISSION, "WM_DOWNLOAD_PERMISSION", false},
    PrivateMessageInfo{WM_FLY_ICON_STEP, "WM_FLY_ICON_STEP", true},
    PrivateMessageInfo{WM_FLY_ICON_END, "WM_FLY_ICON_END", true},
    PrivateMessageInfo{WM_AVATAR_RELOAD, "WM_AVATAR_RELOAD", false},
    PrivateMessageInfo{WM_NETWORK_ERROR, "WM_NETWORK_ERROR", false},
    PrivateMessageInfo{WM_NETWORK_RESTORED, "WM_NETWORK_RESTORED", false},
    PrivateMessageInfo{WM_USER_IMAGE, "WM_USER_IMAGE", false},
    PrivateMessageInfo{WM_AD_SELECT_FIRST, "WM_AD_SELECT_FIRST", false},
    PrivateMessageInfo{WM_SUMMARY_COUNTS, "WM_SUMMARY_COUNTS", false},
};

}  // namespace

const PrivateMessageInfo* FindPrivateMessage(std::uint32_t number) {
  for (const PrivateMessageInfo& info : kMessages) {
    if (info.number == number) return &info;
  }
  return nullptr;
}

}  // namespace ui
