#pragma once

#include <cstdint>
#include <memory>
#include <string>
#include <string_view>

#include "skinui/attribute_table.h"
#include "skinui/geometry.h"
#include "skinui/image_spec.h"

namespace skinui {

class Container;
class PaintManager;
class Painter;

// What the paint manager hands a control: mouse and key input, focus and timers.
struct UiEvent {
  enum class Type {
    MouseEnter,
    MouseLeave,
    MouseMove,
    ButtonDown,
    ButtonUp,
    DoubleClick,
    ScrollWheel,
    KeyDown,
    Char,
    SetFocus,
    KillFocus,
    Timer,
  };
  Type type = Type::MouseMove;
  Point pt;                   // client coordinates
  std::uintptr_t wParam = 0;  // key, timer id, wheel delta (signed)
  std::int64_t timestamp = 0;
};

// A windowless control: name, class name, text, tooltip, visibility, enabled state, position,
// fixed size, padding, floating placement, background colour and image, border. Attributes are
// set by name (SetAttribute) through the table each class registers.
class Control {
 public:
  Control();
  virtual ~Control();
  Control(const Control&) = delete;
  Control& operator=(const Control&) = delete;

  // The library class name ("ControlUI", "ButtonUI" …), as hit tests and automation see it.
  virtual std::string_view GetClass() const { return "ControlUI"; }

  const std::string& GetName() const { return name_; }
  void SetName(std::string name) { name_ = std::move(name); }
  const std::u16string& GetText() const { return text_; }
  virtual void SetText(std::u16string text);
  const std::u16string& GetToolTip() const { return tooltip_; }
  void SetToolTip(std::u16string tooltip) { tooltip_ = std::move(tooltip); }
  const std::string& GetUserData() const { return userData_; }
  void SetUserData(std::string data) { userData_ = std::move(data); }

  // The control's own flag; IsShown adds every ancestor and the pages of tab layouts above it.
  bool IsVisible() const { return visible_; }
  virtual void SetVisible(bool visible);
  bool IsShown() const;
  bool IsEnabled() const { return enabled_; }
  virtual void SetEnabled(bool enabled);
  bool IsFocused() const;
  bool IsMouseEnabled() const { return mouseEnabled_; }
  void SetMouseEnabled(bool enabled) { mouseEnabled_ = enabled; }
  bool IsKeyboardEnabled() const { return keyboardEnabled_; }

  // Position in client coordinates after layout.
  const Rect& GetPos() const { return pos_; }
  virtual void SetPos(const Rect& pos);
  int GetFixedWidth() const { return fixed_.cx; }
  int GetFixedHeight() const { return fixed_.cy; }
  void SetFixedWidth(int width);
  void SetFixedHeight(int height);
  Size GetMinSize() const { return min_; }
  Size GetMaxSize() const { return max_; }
  const Rect& GetPadding() const { return padding_; }
  void SetPadding(const Rect& padding);
  bool IsFloat() const { return float_; }
  void SetFloat(bool isFloat);
  // The "pos" attribute: a floating control's rectangle relative to its parent.
  const Rect& GetFloatPos() const { return floatPos_; }
  void SetFloatPos(const Rect& pos);

  std::uint32_t GetBkColor() const { return bkColor_; }
  void SetBkColor(std::uint32_t argb);
  const std::string& GetBkImage() const { return bkImageText_; }
  void SetBkImage(std::string_view image);  // throws AttributeError for a malformed string
  std::uint32_t GetBorderColor() const { return borderColor_; }
  void SetBorderColor(std::uint32_t argb);
  int GetBorderSize() const { return borderSize_; }
  void SetBorderSize(int size);

  // Sets an attribute by name; unknown names and bad values throw AttributeError.
  void SetAttribute(std::string_view name, std::string_view value);
  void SetAttribute(std::string_view name, std::u16string_view value);
  virtual const AttributeTable& GetAttributeTable() const { return Attributes(); }
  static const AttributeTable& Attributes();

  Container* GetParent() const { return parent_; }
  PaintManager* GetManager() const { return manager_; }
  virtual void SetManager(PaintManager* manager, Container* parent);

  // The deepest shown, mouse-enabled control under a point (null when the point is outside).
  virtual Control* FindControlAt(Point pt);
  // Depth-first search by name, this control first.
  virtual Control* FindByName(std::string_view name);
  virtual void DoEvent(UiEvent& event);
  // A click: buttons notify "click", options change selection, list items "itemclick" …
  virtual bool Activate();
  // Takes a click itself (a click on a plain child goes to the nearest clickable ancestor).
  virtual bool IsClickable() const { return false; }
  // Takes the keyboard focus when clicked or tabbed to.
  virtual bool IsFocusable() const { return false; }
  virtual void DoPaint(Painter& painter, const Rect& dirty);

  void Invalidate();
  // Asks the window to lay out again (size or visibility changed).
  void NeedUpdate();

  // Stays valid while the control lives; lets deferred work find out that it has gone.
  std::weak_ptr<Control*> AliveToken() const { return alive_; }

 protected:
  virtual void PaintBkColor(Painter& painter);
  virtual void PaintBkImage(Painter& painter);
  virtual void PaintStatusImage(Painter& painter);
  virtual void PaintText(Painter& painter);
  virtual void PaintBorder(Painter& painter);
  // Draws an image attribute over the control; false (and nothing drawn) when it is missing.
  bool DrawImage(Painter& painter, const ImageSpec& image);
  void SendNotify(std::string type, std::uintptr_t wParam = 0, std::intptr_t lParam = 0);

  PaintManager* manager_ = nullptr;
  Container* parent_ = nullptr;
  Rect pos_;

 private:
  std::string name_;
  std::u16string text_;
  std::u16string tooltip_;
  std::string userData_;
  bool visible_ = true;
  bool enabled_ = true;
  bool mouseEnabled_ = true;
  bool keyboardEnabled_ = true;
  bool float_ = false;
  Size fixed_;
  Size min_;
  Size max_;
  Rect padding_;
  Rect floatPos_;
  std::uint32_t bkColor_ = 0;
  std::string bkImageText_;
  ImageSpec bkImage_;
  std::uint32_t borderColor_ = 0;
  int borderSize_ = 0;
  std::shared_ptr<Control*> alive_;
};

}  // namespace skinui
