#pragma once

#include <cstdint>

namespace core {

// Private window messages of the client's main window, with the numbers they have on the system
// the client was designed on (WM_USER + n).

// A later start of the program handed over a "Zelk://" request: a UrlProtocolPayload carries
// it (the URL-protocol shared memory keeps only the last of many).
inline constexpr std::uint32_t WM_URL_PROTOCOL_ARRIVED = 0x463;

// Results of the list workers (search, app list, news): the receiving list's name with the item
// control; the loading state; the paged view's navigation and pager; the empty-list picture.
inline constexpr std::uint32_t WM_LIST_ADD_ITEM = 0x4C9;
inline constexpr std::uint32_t WM_LIST_SHOW_LOADING = 0x4CA;
inline constexpr std::uint32_t WM_VIEW_ENABLE = 0x4CB;
inline constexpr std::uint32_t WM_VIEW_SET_PAGER = 0x4CD;
// The app catalogue's categories arrived; select the first.
inline constexpr std::uint32_t WM_APP_CATEGORY_ADD = 0x4CE;
inline constexpr std::uint32_t WM_APP_CATEGORY_SELECT = 0x4CF;
// Start, progress and end of a file-server download.
inline constexpr std::uint32_t WM_DOWNLOAD_STARTED = 0x4D0;
inline constexpr std::uint32_t WM_DOWNLOAD_PROGRESS = 0x4D1;
inline constexpr std::uint32_t WM_DOWNLOAD_ENDED = 0x4D2;
// Installed apps changed: rebuild the home app buttons.
inline constexpr std::uint32_t WM_HOME_APPS_REFRESH = 0x4D3;
inline constexpr std::uint32_t WM_LIST_EMPTY_IMAGE = 0x4D4;
// Add a control to a named container, or empty it (advertisements).
inline constexpr std::uint32_t WM_CONTAINER_ADD = 0x4D5;
inline constexpr std::uint32_t WM_CONTAINER_CLEAR = 0x4D6;
inline constexpr std::uint32_t WM_UNREAD_MESSAGES = 0x4D7;
// The popup notice was clicked; carries the notice value.
inline constexpr std::uint32_t WM_NOTICE_CLICKED = 0x4D9;
// Replies of the account workers.
inline constexpr std::uint32_t WM_REGISTER_REPLY = 0x4DC;
inline constexpr std::uint32_t WM_LOGIN_REPLY = 0x4DD;
inline constexpr std::uint32_t WM_CHANGE_PASSWORD_REPLY = 0x4DE;
inline constexpr std::uint32_t WM_SMS_CODE_REPLY = 0x4DF;
// The service's answer on whether the user may download knowledge files.
inline constexpr std::uint32_t WM_DOWNLOAD_PERMISSION = 0x4E0;
// One frame of the icon flying to the download manager, and its end.
inline constexpr std::uint32_t WM_FLY_ICON_STEP = 0x4E6;
inline constexpr std::uint32_t WM_FLY_ICON_END = 0x4E7;
// The profile window closed: load the avatar again.
inline constexpr std::uint32_t WM_AVATAR_RELOAD = 0x522;
// A request failed and the internet is not reachable; and the probe found it back.
inline constexpr std::uint32_t WM_NETWORK_ERROR = 0x523;
inline constexpr std::uint32_t WM_NETWORK_RESTORED = 0x524;
// The avatar's download ended: the user center's picture changes on the window thread.
inline constexpr std::uint32_t WM_USER_IMAGE = 0x525;
// The advertisements were loaded anew: the first one is shown.
inline constexpr std::uint32_t WM_AD_SELECT_FIRST = 0x526;
// The statistics worker's totals for the home page's counters.
inline constexpr std::uint32_t WM_SUMMARY_COUNTS = 0x527;

}  // namespace core
