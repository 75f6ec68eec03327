#pragma once

#include <cairo.h>

#include <cstdint>
#include <map>
#include <memory>
#include <stdexcept>
#include <string>
#include <string_view>
#include <typeinfo>
#include <vector>

#include "skinui/control.h"
#include "skinui/notify.h"
#include "skinui/painter.h"

namespace skinui {

class ImageCache;
class Option;
class UiContext;
class Window;

// A control looked up by name that is absent or of another class.
class ControlNotFound : public std::runtime_error {
 public:
  using std::runtime_error::runtime_error;
};

// Owns the controls of one window: layout, painting, input routing (hot, pushed, focus),
// notifications to the window's sinks, timers of controls, and the window attributes of its
// layout (initial size, caption rectangle, size box, round corners, minimum size, fonts).
class PaintManager {
 public:
  PaintManager();
  ~PaintManager();
  PaintManager(const PaintManager&) = delete;
  PaintManager& operator=(const PaintManager&) = delete;

  void Init(Window* window);
  Window* GetWindow() const { return window_; }
  UiContext* GetContext() const;
  ImageCache& Images() const;
  std::string GetResourcePath() const;

  // Makes `root` the window's control tree (replacing any earlier one).
  Control* AttachDialog(std::unique_ptr<Control> root);
  Control* GetRoot() const { return root_.get(); }

  // By name, depth-first; null when absent.
  Control* FindControl(std::string_view name) const;
  // The control under a client point.
  Control* FindControl(Point pt) const;
  // Typed lookups. Find throws ControlNotFound naming the window, the name and the class;
  // FindOrLog logs that message and answers null; TryFind answers null quietly.
  template <class T>
  T& Find(std::string_view name) const {
    if (T* found = TryFind<T>(name)) return *found;
    throw ControlNotFound(MissingText(name, typeid(T).name()));
  }
  template <class T>
  T* FindOrLog(std::string_view name) const {
    T* found = TryFind<T>(name);
    if (found == nullptr) Log(MissingText(name, typeid(T).name()));
    return found;
  }
  template <class T>
  T* TryFind(std::string_view name) const {
    return dynamic_cast<T*>(FindControl(name));
  }
  std::vector<Option*> GetOptionGroup(const std::string& group) const;

  void AddNotifier(INotifyUI* notifier);
  void RemoveNotifier(INotifyUI* notifier);
  void AddPreMessageFilter(IMessageFilterUI* filter);
  void RemovePreMessageFilter(IMessageFilterUI* filter);
  // Delivers a notification to every sink, now or (async) after the current message.
  void SendNotify(Control* sender, std::string type, std::uintptr_t wParam = 0,
                  std::intptr_t lParam = 0, bool async = false);
  void SendNotify(TNotifyUI msg, bool async = false);

  Control* GetFocus() const { return focus_; }
  // Moves the keyboard focus, notifying "killfocus" and "setfocus".
  void SetFocus(Control* control);
  // Moves the focus to the next (or previous) focusable shown control, in tree order.
  void SetNextTabControl(bool forward = true);
  Control* GetHot() const { return hot_; }
  Control* GetPushed() const { return pushed_; }

  // Layout happens on the next paint; UpdateLayout does it now when it is due. The first
  // layout notifies "windowinit".
  void NeedUpdate();
  void Invalidate(const Rect& rect);
  bool UpdateLayout();
  bool IsWindowInitialised() const { return initialised_; }

  Size GetInitSize() const { return initSize_; }
  // The layout's window size; an existing window takes it at once.
  void SetInitSize(int cx, int cy);
  const Rect& GetCaptionRect() const { return caption_; }
  void SetCaptionRect(const Rect& rect) { caption_ = rect; }
  const Rect& GetSizeBox() const { return sizeBox_; }
  void SetSizeBox(const Rect& rect) { sizeBox_ = rect; }
  Size GetRoundCorner() const { return roundCorner_; }
  void SetRoundCorner(int cx, int cy) { roundCorner_ = {cx, cy}; }
  Size GetMinInfo() const { return minInfo_; }
  void SetMinInfo(int cx, int cy) { minInfo_ = {cx, cy}; }
  Size GetMaxInfo() const { return maxInfo_; }
  void SetMaxInfo(int cx, int cy) { maxInfo_ = {cx, cy}; }

  void SetDefaultFont(const std::string& name, int size, bool bold, bool underline, bool italic);
  const FontSpec& GetDefaultFont() const { return defaultFont_; }
  void AddFont(int id, const FontSpec& font) { fonts_[id] = font; }
  // The font of an id; the default font for −1 or an unknown id.
  FontSpec GetFont(int id) const;

  bool SetTimer(Control* control, std::uintptr_t id, int elapseMs);
  void KillTimer(Control* control, std::uintptr_t id);

  // Runs the pre-message filters; true when one consumed the message.
  bool PreMessageHandler(std::uint32_t message, std::uintptr_t wParam, std::intptr_t lParam,
                         std::intptr_t& result);
  // The library's handling of a window message; true when handled.
  bool MessageHandler(std::uint32_t message, std::uintptr_t wParam, std::intptr_t lParam,
                      std::intptr_t& result);
  // Lays out when due and paints the whole tree clipped to `dirty`.
  void Paint(cairo_t* cr, const Rect& dirty);

  // Called by a control's destructor: forget every reference to it.
  void ControlRemoved(Control* control);
  void Log(const std::string& line) const;

 private:
  std::string MissingText(std::string_view name, const char* typeName) const;
  void HandleButtonDown(Point pt);
  void HandleButtonUp(Point pt);
  void HandleMouseMove(Point pt);
  void DeliverNotify(TNotifyUI& msg);

  Window* window_ = nullptr;
  std::unique_ptr<Control> root_;
  std::vector<INotifyUI*> notifiers_;
  std::vector<IMessageFilterUI*> filters_;
  Control* focus_ = nullptr;
  Control* hot_ = nullptr;
  Control* pushed_ = nullptr;
  Point lastMouse_;  // client point of the latest mouse message, given with notifications
  bool needUpdate_ = true;
  bool initialised_ = false;
  Size initSize_;
  Rect caption_;
  Rect sizeBox_;
  Size roundCorner_;
  Size minInfo_;
  Size maxInfo_;
  FontSpec defaultFont_;
  std::map<int, FontSpec> fonts_;
  struct ControlTimer {
    Control* control;
    std::uintptr_t id;
  };
  std::map<std::uint32_t, ControlTimer> timers_;  // window timer id → control timer
  std::uint32_t nextTimerId_ = 0x10000;
};

}  // namespace skinui
