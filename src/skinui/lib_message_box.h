#pragma once

#include <string>

#include "skinui/notify.h"
#include "skinui/skin_look.h"
#include "skinui/window.h"

namespace skinui {

class Button;
class Container;
class Text;

// The program's own skinned message box: one process-wide window (layout "MessageBox.xml",
// window class "UIMessageBoxFrame"), created on first use and reused. Results: −1 while open,
// 1 after OK or Yes, 0 after Cancel, No, Close or the close button.
class CLibMessageBox final : public Window, public INotifyUI {
 public:
  static constexpr const char* kSharedKey = "CLibMessageBox";

  explicit CLibMessageBox(UiContext& context);

  std::string GetWindowClassName() const override { return "UIMessageBoxFrame"; }
  std::uint32_t GetClassStyle() const override { return 0x80B; }
  std::intptr_t HandleMessage(std::uint32_t message, std::uintptr_t wParam,
                              std::intptr_t lParam) override;
  void Notify(TNotifyUI& msg) override;

  // Steps 2 and 3 of a showing: kinds, text, controls, skin, buttons, size, place, show.
  void Prepare(int iconKind, int buttonKind, const std::u16string& text, int height);
  // Pumps the window thread's messages (every window stays live) while the result is −1.
  int WaitForResult();

  int GetResult() const { return result_; }
  int GetIconKind() const { return iconKind_; }
  int GetButtonKind() const { return buttonKind_; }
  const std::u16string& GetMessageText() const { return text_; }
  bool IsInitialised() const { return initialised_; }

  // The title and icon image of an icon kind (other kinds: "提示" and no image change).
  static std::u16string TitleOf(int iconKind);
  static std::string IconOf(int iconKind);

 private:
  void LookUpControls();
  void LayoutButtons();
  void Finish(int result);

  int iconKind_ = 0;
  int buttonKind_ = 0;
  std::u16string text_;
  int result_ = -1;
  bool initialised_ = false;
  Container* icon_ = nullptr;
  Container* buttonArea_ = nullptr;
  Container* buttonFill_ = nullptr;
  Button* ok_ = nullptr;
  Button* cancel_ = nullptr;
  Button* close_ = nullptr;
  Control* title_ = nullptr;
  Control* message_ = nullptr;
};

// Shows the message box and, for button kinds 2 and 3 or when `wait` is set, waits for the
// answer; otherwise answers 0 at once. The parent is accepted and not used: the box has no
// owner.
int ShowLibMessageBox(Window* parent, int iconKind, int buttonKind, const std::u16string& text,
                      int height, bool wait);

}  // namespace skinui
