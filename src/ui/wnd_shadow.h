#pragma once

#include <cstdint>
#include <memory>

#include "skinui/window.h"
#include "ui/make_shadow.h"

namespace ui {

// A soft drop shadow for a window without system frame, drawn in a separate layered window
// that follows it (its shape included, so round corners get a round shadow). The shadowed
// window hands every message to OnParentMessage before handling it itself.
class CWndShadow {
 public:
  // Status flags.
  static constexpr int kEnabled = 1;
  static constexpr int kVisible = 2;
  static constexpr int kParentVisible = 4;

  // Readies shadows for the process; false when they were readied already (nothing changes).
  static bool Initialize(skinui::UiContext& context);
  static bool IsInitialized();
  // The shadow of a window, null when it has none.
  static CWndShadow* Of(const skinui::Window& parent);

  CWndShadow();
  ~CWndShadow();
  CWndShadow(const CWndShadow&) = delete;
  CWndShadow& operator=(const CWndShadow&) = delete;

  // Gives `parent` this shadow: nothing when shadows are not readied or the window has one.
  bool Create(skinui::Window& parent);

  // Each refuses a value outside its range and then changes nothing.
  bool SetSize(int size);               // -20 to 20
  bool SetSharpness(int sharpness);     // 0 to 20
  bool SetDarkness(int darkness);       // 0 to 255
  bool SetPosition(int x, int y);       // -20 to 20 each
  bool SetColor(std::uint32_t colour);  // 0xRRGGBB

  void OnParentMessage(std::uint32_t message, std::uintptr_t wParam, std::intptr_t lParam);

  const ShadowLook& Look() const { return look_; }
  int Status() const { return status_; }
  skinui::Window* ShadowWindow() const;

 private:
  class Layer;

  void Update();
  void ShowLayer(bool show);
  void MoveToParent();

  skinui::Window* parent_ = nullptr;
  std::unique_ptr<Layer> layer_;
  int status_ = 0;
  ShadowLook look_{150, 5, 0, 5, 5, 0};
  bool pendingUpdate_ = false;
  skinui::Size lastSize_;
};

}  // namespace ui
