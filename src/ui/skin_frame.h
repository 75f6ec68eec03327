#pragma once

#include <string>

#include "skinui/notify.h"
#include "skinui/window.h"

namespace ui {

// The skin window: a small tool window below the main window's skin button, built from
// "skin.xml", with a page of background images and a page of colours. A choice is broadcast to
// every window that follows the skin; losing the focus closes the window, which then frees
// itself (it is handed to the context on opening).
class CSkinFrame final : public skinui::Window, public skinui::INotifyUI {
 public:
  static constexpr const char* kClassName = "UISkinFrame";
  static constexpr const char* kLayoutFile = "skin.xml";

  explicit CSkinFrame(skinui::UiContext& context);
  ~CSkinFrame() override;

  // Creates the window so that its right edge lines up with the anchor's right edge and its top
  // with the anchor's bottom (screen coordinates), shows it and gives it the focus.
  bool Open(skinui::Window& owner, const skinui::Rect& anchorOnScreen);

  std::string GetWindowClassName() const override { return kClassName; }
  std::intptr_t HandleMessage(std::uint32_t message, std::uintptr_t wParam,
                              std::intptr_t lParam) override;
  void Notify(skinui::TNotifyUI& msg) override;

 private:
  void BuildLayout();
  void PlaceBelowAnchor();
  void ShowPage(int page);

  skinui::Rect anchor_;
};

}  // namespace ui
