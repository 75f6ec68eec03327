#pragma once

#include <cstdint>

#include "platform/message_loop.h"

namespace skinui {

// Window messages keep the numbers of the system the client was designed on, so that the
// message tables of the features read the same here. Private messages of the features start at
// WM_USER and live in their own headers.
inline constexpr std::uint32_t WM_CREATE = 0x0001;      // window created; layout is built here
inline constexpr std::uint32_t WM_DESTROY = 0x0002;     // window is being destroyed
inline constexpr std::uint32_t WM_MOVE = 0x0003;        // top-left corner moved
inline constexpr std::uint32_t WM_SIZE = 0x0005;        // client size changed; wParam SIZE_*
inline constexpr std::uint32_t WM_ACTIVATE = 0x0006;    // wParam 1 activated, 0 deactivated
inline constexpr std::uint32_t WM_SETFOCUS = 0x0007;    // the window got the keyboard focus
inline constexpr std::uint32_t WM_KILLFOCUS = 0x0008;   // the window lost the keyboard focus
inline constexpr std::uint32_t WM_PAINT = 0x000F;       // lay out and paint; wParam cairo_t* or 0
inline constexpr std::uint32_t WM_CLOSE = 0x0010;       // asked to close
inline constexpr std::uint32_t WM_SHOWWINDOW = 0x0018;  // wParam 1 shown, 0 hidden
inline constexpr std::uint32_t WM_GETMINMAXINFO = 0x0024;  // lParam MinMaxInfo*
inline constexpr std::uint32_t WM_HELP = 0x0053;           // F1 / help request
inline constexpr std::uint32_t WM_NCDESTROY = 0x0082;      // last message; OnFinalMessage follows
inline constexpr std::uint32_t WM_NCCALCSIZE = 0x0083;     // frame size (no system frame here)
inline constexpr std::uint32_t WM_NCHITTEST = 0x0084;      // lParam screen point; returns HT*
inline constexpr std::uint32_t WM_NCPAINT = 0x0085;        // frame painting (none here)
inline constexpr std::uint32_t WM_NCACTIVATE = 0x0086;     // frame active look; wParam flag
inline constexpr std::uint32_t WM_KEYDOWN = 0x0100;        // wParam virtual key
inline constexpr std::uint32_t WM_CHAR = 0x0102;           // wParam UTF-16 unit typed
inline constexpr std::uint32_t WM_SYSCOMMAND = 0x0112;     // wParam SC_*
inline constexpr std::uint32_t WM_TIMER = platform::kTimerMessage;  // wParam timer id
inline constexpr std::uint32_t WM_MOUSEMOVE = 0x0200;               // lParam client point
inline constexpr std::uint32_t WM_LBUTTONDOWN = 0x0201;             // lParam client point
inline constexpr std::uint32_t WM_LBUTTONUP = 0x0202;               // lParam client point
inline constexpr std::uint32_t WM_LBUTTONDBLCLK = 0x0203;           // lParam client point
inline constexpr std::uint32_t WM_MOUSEWHEEL =
    0x020A;  // wParam high word delta; lParam screen point
inline constexpr std::uint32_t WM_EXITSIZEMOVE = 0x0232;  // end of a move or resize by the user
inline constexpr std::uint32_t WM_USER = 0x0400;          // first private message

// Library-internal messages, below the features' private range.
inline constexpr std::uint32_t WM_SKINUI_NOTIFY = WM_USER - 0x10;  // an asynchronous notification
inline constexpr std::uint32_t WM_SKINUI_INVOKE = WM_USER - 0x0F;  // a deferred call on the window

// WM_SYSCOMMAND commands.
inline constexpr std::uintptr_t SC_MINIMIZE = 0xF020;
inline constexpr std::uintptr_t SC_MAXIMIZE = 0xF030;
inline constexpr std::uintptr_t SC_CLOSE = 0xF060;
inline constexpr std::uintptr_t SC_RESTORE = 0xF120;

// WM_SIZE kinds.
inline constexpr std::uintptr_t SIZE_RESTORED = 0;
inline constexpr std::uintptr_t SIZE_MINIMIZED = 1;
inline constexpr std::uintptr_t SIZE_MAXIMIZED = 2;

// WM_NCHITTEST results.
inline constexpr std::intptr_t HTCLIENT = 1;
inline constexpr std::intptr_t HTCAPTION = 2;
inline constexpr std::intptr_t HTLEFT = 10;
inline constexpr std::intptr_t HTRIGHT = 11;
inline constexpr std::intptr_t HTTOP = 12;
inline constexpr std::intptr_t HTTOPLEFT = 13;
inline constexpr std::intptr_t HTTOPRIGHT = 14;
inline constexpr std::intptr_t HTBOTTOM = 15;
inline constexpr std::intptr_t HTBOTTOMLEFT = 16;
inline constexpr std::intptr_t HTBOTTOMRIGHT = 17;

// Virtual keys the library acts on.
inline constexpr std::uintptr_t VK_TAB = 0x09;
inline constexpr std::uintptr_t VK_RETURN = 0x0D;
inline constexpr std::uintptr_t VK_ESCAPE = 0x1B;

// Window styles (the bits the features name).
inline constexpr std::uint32_t WS_POPUP = 0x80000000;
inline constexpr std::uint32_t WS_VISIBLE = 0x10000000;
inline constexpr std::uint32_t WS_CLIPSIBLINGS = 0x04000000;
inline constexpr std::uint32_t WS_CLIPCHILDREN = 0x02000000;
inline constexpr std::uint32_t WS_CAPTION = 0x00C00000;
inline constexpr std::uint32_t WS_DLGFRAME = 0x00400000;
inline constexpr std::uint32_t WS_SYSMENU = 0x00080000;
inline constexpr std::uint32_t WS_EX_TOPMOST = 0x00000008;
inline constexpr std::uint32_t WS_EX_TRANSPARENT = 0x00000020;  // clicks pass through
inline constexpr std::uint32_t WS_EX_TOOLWINDOW = 0x00000080;
inline constexpr std::uint32_t WS_EX_LAYERED = 0x00080000;
inline constexpr std::uint32_t WS_EX_NOACTIVATE = 0x08000000;

// Packs a point into an lParam (signed 16-bit words, as the system does).
inline std::intptr_t MakePointParam(int x, int y) {
  return static_cast<std::intptr_t>(
      (static_cast<std::uint32_t>(static_cast<std::uint16_t>(y)) << 16) |
      static_cast<std::uint16_t>(x));
}
inline int PointParamX(std::intptr_t lParam) {
  return static_cast<std::int16_t>(lParam & 0xFFFF);
}
inline int PointParamY(std::intptr_t lParam) {
  return static_cast<std::int16_t>((lParam >> 16) & 0xFFFF);
}

// Filled by WM_GETMINMAXINFO (lParam points to it).
struct MinMaxInfo {
  int maxWidth = 0;
  int maxHeight = 0;
  int maxX = 0;
  int maxY = 0;
  int minTrackWidth = 0;
  int minTrackHeight = 0;
};

}  // namespace skinui
