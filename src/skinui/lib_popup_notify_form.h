#pragma once

#include <string>

#include "skinui/notify.h"
#include "skinui/skin_look.h"
#include "skinui/window.h"

namespace skinui {

// Posted to the window to notify when the notice's content is clicked; the payload is an `int`,
// the notice value (30001 = unread messages).
inline constexpr std::uint32_t kNoticeClickedMessage = 0x4D9;

// A small skinned notice that slides up in the bottom-right corner of the screen without taking
// the focus: one process-wide window (layout "PopupNotifyForm.xml", class "UIPopupNotifyFrame").
class CLibPopupNotifyForm final : public Window, public INotifyUI {
 public:
  static constexpr const char* kSharedKey = "CLibPopupNotifyForm";
  static constexpr int kRightOffset = 305;
  static constexpr int kBottomOffset = 190;
  static constexpr int kSlideMs = 1000;

  explicit CLibPopupNotifyForm(UiContext& context);

  std::string GetWindowClassName() const override { return "UIPopupNotifyFrame"; }
  std::uint32_t GetClassStyle() const override { return 0x80B; }
  std::intptr_t HandleMessage(std::uint32_t message, std::uintptr_t wParam,
                              std::intptr_t lParam) override;
  void Notify(TNotifyUI& msg) override;

  void ShowNotice(Window* notifyWindow, const std::u16string& text, int value);
  const std::u16string& GetNoticeText() const { return text_; }
  int GetNoticeValue() const { return value_; }

 private:
  platform::WindowId notifyWindow_ = 0;
  std::u16string text_;
  int value_ = 0;
};

// Creates the notice on first use, fills it and slides it in; it does not wait and does not
// take the focus.
void ShowPopupNotice(Window* notifyWindow, const std::u16string& text, int value);

}  // namespace skinui
