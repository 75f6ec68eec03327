#include "skinui/paint_manager.h"

#include <cxxabi.h>
#include <algorithm>

#include "skinui/container.h"
#include "skinui/option.h"
#include "skinui/ui_context.h"
#include "skinui/window.h"
#include "skinui/window_messages.h"

namespace skinui {

namespace {

struct AsyncNotify {
  TNotifyUI msg;
  std::weak_ptr<Control*> sender;
};

std::string Demangle(const char* name) {
  int status = 0;
  std::unique_ptr<char, decltype(&std::free)> readable(
      abi::__cxa_demangle(name, nullptr, nullptr, &status), &std::free);
  return status == 0 && readable ? readable.get() : name;
}

void CollectOptions(Control* control, const std::string& group, std::vector<Option*>& out) {
  if (auto* option = dynamic_cast<Option*>(control); option && option->GetGroup() == group) {
    out.push_back(option);
  }
  if (auto* container = dynamic_cast<Container*>(control)) {
    for (int i = 0; i < container->GetCount(); ++i) {
      CollectOptions(container->GetItemAt(i), group, out);
    }
  }
}

void CollectFocusable(Control* control, std::vector<Control*>& out) {
  if (control->IsFocusable() && control->IsShown() && control->IsEnabled() &&
      control->IsKeyboardEnabled()) {
    out.push_back(control);
  }
  if (auto* container = dynamic_cast<Container*>(control)) {
    for (int i = 0; i < container->GetCount(); ++i) {
      CollectFocusable(container->GetItemAt(i), out);
    }
  }
}

Control* ClickTarget(Control* hit) {
  for (Control* c = hit; c != nullptr; c = c->GetParent()) {
    if (c->IsClickable()) return c;
  }
  return hit;
}

}  // namespace

PaintManager::PaintManager() = default;

PaintManager::~PaintManager() {
  // Controls tell the manager when they go; let them do it while the manager is whole.
  root_.reset();
}

void PaintManager::Init(Window* window) {
  window_ = window;
}

UiContext* PaintManager::GetContext() const {
  return window_ != nullptr ? &window_->GetContext() : UiContext::Current();
}

ImageCache& PaintManager::Images() const {
  return GetContext()->Images();
}

std::string PaintManager::GetResourcePath() const {
  return GetContext()->ResourcePath();
}

void PaintManager::Log(const std::string& line) const {
  if (UiContext* context = GetContext()) {
    context->Log(line);
  }
}

Control* PaintManager::AttachDialog(std::unique_ptr<Control> root) {
  focus_ = hot_ = pushed_ = nullptr;
  root_ = std::move(root);
  if (root_) root_->SetManager(this, nullptr);
  NeedUpdate();
  return root_.get();
}

Control* PaintManager::FindControl(std::string_view name) const {
  return root_ ? root_->FindByName(name) : nullptr;
}

Control* PaintManager::FindControl(Point pt) const {
  return root_ ? root_->FindControlAt(pt) : nullptr;
}

std::string PaintManager::MissingText(std::string_view name, const char* typeName) const {
  const std::string window = window_ != nullptr ? window_->GetWindowClassName() : "(no window)";
  Control* found = FindControl(name);
  if (found != nullptr) {
    return "window " + window + ": control '" + std::string(name) + "' is a " +
           std::string(found->GetClass()) + ", not a " + Demangle(typeName);
  }
  return "window " + window + ": no control named '" + std::string(name) + "' (" +
         Demangle(typeName) + ")";
}

std::vector<Option*> PaintManager::GetOptionGroup(const std::string& group) const {
  std::vector<Option*> options;
  if (root_ && !group.empty()) CollectOptions(root_.get(), group, options);
  return options;
}

void PaintManager::AddNotifier(INotifyUI* notifier) {
  if (std::find(notifiers_.begin(), notifiers_.end(), notifier) == notifiers_.end()) {
    notifiers_.push_back(notifier);
  }
}

void PaintManager::RemoveNotifier(INotifyUI* notifier) {
  std::erase(notifiers_, notifier);
}

void PaintManager::AddPreMessageFilter(IMessageFilterUI* filter) {
  if (std::find(filters_.begin(), filters_.end(), filter) == filters_.end()) {
    filters_.push_back(filter);
  }
}

void PaintManager::RemovePreMessageFilter(IMessageFilterUI* filter) {
  std::erase(filters_, filter);
}

void PaintManager::SendNotify(Control* sender, std::string type, std::uintptr_t wParam,
                              std::intptr_t lParam, bool async) {
  TNotifyUI msg;
  msg.sType = std::move(type);
  msg.pSender = sender;
  msg.wParam = wParam;
  msg.lParam = lParam;
  SendNotify(std::move(msg), async);
}

void PaintManager::SendNotify(TNotifyUI msg, bool async) {
  UiContext* context = GetContext();
  if (context != nullptr) msg.dwTimestamp = context->Loop().clock().nowMs();
  if (msg.ptMouse == Point{}) msg.ptMouse = lastMouse_;
  if (async && window_ != nullptr) {
    auto payload = std::make_unique<AsyncNotify>();
    payload->sender =
        msg.pSender != nullptr ? msg.pSender->AliveToken() : std::weak_ptr<Control*>();
    payload->msg = std::move(msg);
    window_->PostMessage(WM_SKINUI_NOTIFY, 0, platform::Payload(std::move(payload)));
    return;
  }
  DeliverNotify(msg);
}

void PaintManager::DeliverNotify(TNotifyUI& msg) {
  // A sink may remove sinks (a window closing itself): walk a copy.
  const std::vector<INotifyUI*> sinks = notifiers_;
  for (INotifyUI* sink : sinks) {
    if (std::find(notifiers_.begin(), notifiers_.end(), sink) == notifiers_.end()) continue;
    sink->Notify(msg);
  }
}

void PaintManager::SetFocus(Control* control) {
  if (control == focus_) return;
  Control* old = focus_;
  focus_ = control;
  if (old != nullptr) {
    UiEvent event{UiEvent::Type::KillFocus};
    old->DoEvent(event);
    old->Invalidate();
  }
  // The kill-focus handler may have moved the focus again.
  if (focus_ != control) return;
  if (window_ != nullptr) window_->FocusChanged(old, control);
  if (control != nullptr) {
    UiEvent event{UiEvent::Type::SetFocus};
    control->DoEvent(event);
    control->Invalidate();
  }
}

void PaintManager::SetNextTabControl(bool forward) {
  if (!root_) return;
  std::vector<Control*> order;
  CollectFocusable(root_.get(), order);
  if (order.empty()) return;
  auto it = std::find(order.begin(), order.end(), focus_);
  int index = it == order.end() ? -1 : static_cast<int>(it - order.begin());
  const int n = static_cast<int>(order.size());
  index = forward ? (index + 1) % n : (index <= 0 ? n - 1 : index - 1);
  SetFocus(order[static_cast<std::size_t>(index)]);
}

void PaintManager::NeedUpdate() {
  needUpdate_ = true;
  if (window_ != nullptr) window_->Invalidate();
}

void PaintManager::Invalidate(const Rect& rect) {
  if (window_ != nullptr) window_->Invalidate(rect);
}

bool PaintManager::UpdateLayout() {
  if (!root_ || window_ == nullptr || !needUpdate_) return false;
  needUpdate_ = false;
  const Rect client = window_->GetClientRect();
  root_->SetPos(client);
  if (!initialised_) {
    initialised_ = true;
    SendNotify(root_.get(), "windowinit");
  }
  return true;
}

void PaintManager::SetInitSize(int cx, int cy) {
  initSize_ = {cx, cy};
  if (window_ != nullptr && window_->IsWindow() && cx > 0 && cy > 0) window_->ResizeClient(cx, cy);
}

FontSpec PaintManager::GetFont(int id) const {
  if (const auto it = fonts_.find(id); it != fonts_.end()) return it->second;
  return defaultFont_;
}

void PaintManager::SetDefaultFont(const std::string& name, int size, bool bold, bool underline,
                                  bool italic) {
  defaultFont_ = {name, size, bold, underline, italic};
  if (root_) root_->Invalidate();
}

bool PaintManager::SetTimer(Control* control, std::uintptr_t id, int elapseMs) {
  if (window_ == nullptr || control == nullptr) return false;
  for (const auto& [windowId, timer] : timers_) {
    if (timer.control == control && timer.id == id) {
      window_->SetTimer(windowId, elapseMs);
      return true;
    }
  }
  const std::uint32_t windowId = nextTimerId_++;
  timers_[windowId] = {control, id};
  window_->SetTimer(windowId, elapseMs);
  return true;
}

void PaintManager::KillTimer(Control* control, std::uintptr_t id) {
  for (auto it = timers_.begin(); it != timers_.end(); ++it) {
    if (it->second.control == control && it->second.id == id) {
      if (window_ != nullptr) window_->KillTimer(it->first);
      timers_.erase(it);
      return;
    }
  }
}

void PaintManager::ControlRemoved(Control* control) {
  if (focus_ == control) {
    focus_ = nullptr;
    // The control is half destroyed: end a text entry without asking what it was.
    if (window_ != nullptr && window_->GetNative() != nullptr) window_->GetNative()->EndTextInput();
  }
  if (hot_ == control) hot_ = nullptr;
  if (pushed_ == control) pushed_ = nullptr;
  for (auto it = timers_.begin(); it != timers_.end();) {
    if (it->second.control == control) {
      if (window_ != nullptr) window_->KillTimer(it->first);
      it = timers_.erase(it);
    } else {
      ++it;
    }
  }
}

bool PaintManager::PreMessageHandler(std::uint32_t message, std::uintptr_t wParam,
                                     std::intptr_t lParam, std::intptr_t& result) {
  const std::vector<IMessageFilterUI*> filters = filters_;
  for (IMessageFilterUI* filter : filters) {
    bool handled = false;
    result = filter->MessageHandler(message, wParam, lParam, handled);
    if (handled) return true;
  }
  return false;
}

void PaintManager::HandleMouseMove(Point pt) {
  lastMouse_ = pt;
  Control* hit = FindControl(pt);
  Control* target = hit != nullptr ? ClickTarget(hit) : nullptr;
  if (target == hot_) return;
  Control* old = hot_;
  hot_ = target;
  if (old != nullptr) {
    UiEvent leave{UiEvent::Type::MouseLeave, pt};
    old->DoEvent(leave);
    old->Invalidate();
  }
  if (target != nullptr) {
    UiEvent enter{UiEvent::Type::MouseEnter, pt};
    target->DoEvent(enter);
    target->Invalidate();
  }
}

void PaintManager::HandleButtonDown(Point pt) {
  HandleMouseMove(pt);
  Control* hit = FindControl(pt);
  if (hit == nullptr) return;
  Control* target = ClickTarget(hit);
  if (!target->IsEnabled()) return;
  pushed_ = target;
  if (target->IsFocusable() && target->IsKeyboardEnabled()) SetFocus(target);
  UiEvent down{UiEvent::Type::ButtonDown, pt};
  if (pushed_ != nullptr) pushed_->DoEvent(down);
  if (pushed_ != nullptr) pushed_->Invalidate();
}

void PaintManager::HandleButtonUp(Point pt) {
  lastMouse_ = pt;
  Control* target = pushed_;
  pushed_ = nullptr;
  if (target == nullptr) return;
  target->Invalidate();
  UiEvent up{UiEvent::Type::ButtonUp, pt};
  // Keep a token: the event may destroy the control (a list emptied by its own row).
  const std::weak_ptr<Control*> alive = target->AliveToken();
  target->DoEvent(up);
  if (alive.expired()) return;
  if (target->GetPos().Contains(pt) && target->IsShown() && target->IsEnabled()) {
    target->Activate();
  }
}

bool PaintManager::MessageHandler(std::uint32_t message, std::uintptr_t wParam,
                                  std::intptr_t lParam, std::intptr_t& result) {
  result = 0;
  switch (message) {
    case WM_PAINT: {
      UpdateLayout();
      if (wParam != 0 && window_ != nullptr) {
        Paint(reinterpret_cast<cairo_t*>(wParam), window_->GetClientRect());
      }
      return true;
    }
    case WM_SIZE:
      if (wParam != SIZE_MINIMIZED) NeedUpdate();
      return false;
    case WM_MOUSEMOVE:
      HandleMouseMove({PointParamX(lParam), PointParamY(lParam)});
      return true;
    case WM_LBUTTONDOWN:
    case WM_LBUTTONDBLCLK:
      UpdateLayout();
      HandleButtonDown({PointParamX(lParam), PointParamY(lParam)});
      return true;
    case WM_LBUTTONUP:
      HandleButtonUp({PointParamX(lParam), PointParamY(lParam)});
      return true;
    case WM_MOUSEWHEEL: {
      if (window_ == nullptr) return false;
      const Rect screen = window_->GetWindowRect();
      const Point pt{PointParamX(lParam) - screen.left, PointParamY(lParam) - screen.top};
      Control* hit = FindControl(pt);
      if (hit == nullptr) return false;
      UiEvent wheel{UiEvent::Type::ScrollWheel, pt, (wParam >> 16) & 0xFFFF};
      hit->DoEvent(wheel);
      return true;
    }
    case WM_KEYDOWN: {
      if (wParam == VK_TAB) {
        SetNextTabControl(true);
        return true;
      }
      if (focus_ == nullptr) return false;
      UiEvent key{UiEvent::Type::KeyDown, {}, wParam};
      focus_->DoEvent(key);
      return true;
    }
    case WM_CHAR: {
      if (focus_ == nullptr) return false;
      UiEvent ch{UiEvent::Type::Char, {}, wParam};
      focus_->DoEvent(ch);
      return true;
    }
    case WM_KILLFOCUS:
      pushed_ = nullptr;
      return false;
    case WM_TIMER: {
      const auto it = timers_.find(static_cast<std::uint32_t>(wParam));
      if (it == timers_.end()) return false;
      UiEvent timer{UiEvent::Type::Timer, {}, it->second.id};
      it->second.control->DoEvent(timer);
      return true;
    }
    case WM_SKINUI_NOTIFY: {
      auto* payload = reinterpret_cast<platform::Payload*>(lParam);
      AsyncNotify* notify = payload != nullptr ? payload->get<AsyncNotify>() : nullptr;
      if (notify == nullptr) return true;
      // A sender that has gone in the meantime is not handed out.
      if (notify->msg.pSender != nullptr && notify->sender.expired()) return true;
      DeliverNotify(notify->msg);
      return true;
    }
    default:
      return false;
  }
}

void PaintManager::Paint(cairo_t* cr, const Rect& dirty) {
  UpdateLayout();
  if (!root_) return;
  Painter painter(cr, Images());
  root_->DoPaint(painter, dirty);
}

}  // namespace skinui
