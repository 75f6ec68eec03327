#pragma once

#include <cstdint>
#include <memory>
#include <string>

#include "skinui/notify.h"
#include "skinui/window.h"
#include "ui/wnd_shadow.h"

namespace skinui {
class Button;
}  // namespace skinui

namespace ui {

// What the client's secondary windows share: a skinned window without system caption, built
// from its layout, created once (hidden) and then shown and hidden; closing only hides it, so the
// window object stays for its next use. Its caption buttons minimise, maximise and restore it.
class CSecondaryFrame : public skinui::Window, public skinui::INotifyUI {
 public:
  static constexpr std::uint32_t kClassStyle = 0x80B;  // double clicks, redraws, save bits

  CSecondaryFrame(skinui::UiContext& context, std::string className, std::string layoutFile);
  ~CSecondaryFrame() override;

  std::string GetWindowClassName() const override { return className_; }
  std::uint32_t GetClassStyle() const override { return kClassStyle; }
  std::intptr_t HandleMessage(std::uint32_t message, std::uintptr_t wParam,
                              std::intptr_t lParam) override;
  void Notify(skinui::TNotifyUI& msg) override;

  // Creates the window hidden, with no owner, when it does not exist yet; its size comes from
  // its layout.
  bool EnsureCreated(const std::u16string& caption, std::uint32_t style);
  // Prepares the window for a showing, centres it on the screen, keeps it above the others and
  // shows it.
  void Present();

  const std::string& LayoutFile() const { return layoutFile_; }

 protected:
  // After the layout is built (on window creation).
  virtual void OnCreated() {}
  // Before each showing.
  virtual void Prepare() {}
  // The layout was laid out for the first time.
  virtual void OnWindowInit() {}
  // A click the shared buttons did not take.
  virtual void OnClick(const std::string& name) { (void)name; }
  // "closebtn": hides the window.
  virtual void OnCloseButton() { ShowWindow(false); }

  // Gives "Root" the client's current skin.
  void ApplyStoredSkin();
  // Gives the window a soft shadow (size 4, no offset) where layered windows can be shown.
  void AttachShadow();
  void Log(const std::string& line);

 private:
  std::intptr_t OnSysCommand(std::uintptr_t wParam, std::intptr_t lParam);

  std::string className_;
  std::string layoutFile_;
  skinui::Button* maxBtn_ = nullptr;
  skinui::Button* restoreBtn_ = nullptr;
  std::unique_ptr<CWndShadow> shadow_;
};

}  // namespace ui
