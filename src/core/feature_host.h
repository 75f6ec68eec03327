#pragma once

#include <cstdint>
#include <string>
#include <string_view>

#include "core/service_context.h"
#include "core/zelk_lib_binding.h"
#include "platform/payload.h"
#include "platform/recursive_mutex.h"
#include "skinui/control.h"

namespace skinui {
class Window;
}  // namespace skinui

namespace core {

// The main window as its features see it. A feature's controller reaches the window only
// through this: the controls of the layout by name, the list mutex, posted messages and timers,
// what service requests need, the shell's "open" and the program's message box. The main frame
// implements it; tests give a feature a fake built on a headless window.
class FeatureHost {
 public:
  virtual ~FeatureHost() = default;

  // The control of that name; null when the layout has none, with one log line per missing
  // name, so that a skin without it leaves that part of its feature inert instead of failing.
  virtual skinui::Control* FindControl(std::string_view name) = 0;
  // The control of that name as the class the caller expects; null (logged once per name) when
  // it is missing or of another class.
  template <class T>
  T* Find(std::string_view name) {
    skinui::Control* found = FindControl(name);
    if (found == nullptr) return nullptr;
    T* typed = dynamic_cast<T*>(found);
    if (typed == nullptr) ReportWrongClass(name);
    return typed;
  }

  // The window whose layout holds the controls: the owner of paged views and the parent of the
  // message boxes its features open.
  virtual skinui::Window& OwnerWindow() = 0;
  // Held by the window thread around the handlers that change lists and download records.
  virtual platform::RecursiveMutex& ListMutex() = 0;

  // Posts a private message to the main window (from any thread).
  virtual void Post(std::uint32_t message, platform::Payload payload = {}) = 0;
  virtual void SetTimer(std::uint32_t id, std::int64_t periodMs) = 0;
  virtual void KillTimer(std::uint32_t id) = 0;

  // What workers need for service requests: the support library, the loop and the main window.
  virtual ServiceContext Service() = 0;
  virtual const ZelkLibBinding& Binding() = 0;
  // The folder of the user's writable state as a file-system path (the program folder of a
  // self-contained copy, the user's data folder for an installation).
  virtual const std::string& DataDirectory() = 0;

  // Opens a URL, folder or document with the shell verb "open"; failures are ignored.
  virtual void ShellOpen(const std::u16string& target) = 0;
  // The program's message box (icon and button kinds as the box takes them); with `wait` it
  // returns the button chosen once the box is closed.
  virtual int ShowMessageBox(int iconKind, int buttonKind, const std::u16string& text, int height,
                             bool wait) = 0;
  // Shows the main area in place of an account area, with the user center as the login is now.
  virtual void ShowMainFormArea() = 0;
  // Records which client area was shown last: 0 main, 1 login, 2 register.
  virtual void SetUIKind(int kind) = 0;
  // One line of the product log.
  virtual void Log(std::u16string_view line) = 0;

 protected:
  virtual void ReportWrongClass(std::string_view name) = 0;
};

}  // namespace core
