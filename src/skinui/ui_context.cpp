#include "skinui/ui_context.h"

#include <unistd.h>
#include <algorithm>
#include <cstdio>

#include "platform/paths.h"
#include "skinui/font_setup.h"
#include "skinui/window.h"
#include "skinui/window_messages.h"

namespace skinui {

namespace {

thread_local UiContext* currentContext = nullptr;

constexpr std::uint32_t kFreeAdoptedWindow = WM_USER - 1;

}  // namespace

UiContext::UiContext(platform::MessageLoop& loop, std::unique_ptr<WindowBackend> backend,
                     std::string resourcePath)
    : loop_(loop),
      backend_(std::move(backend)),
      resourcePath_(std::move(resourcePath)),
      log_([](const std::string& line) { std::fprintf(stderr, "%s\n", line.c_str()); }),
      images_(resourcePath_, [this](const std::string& line) { Log(line); }),
      previous_(currentContext) {
  id_ = loop_.addTarget(*this);
  currentContext = this;
  LoadSkinFonts();
}

void UiContext::LoadSkinFonts() {
  const std::string file = platform::JoinPath(resourcePath_, "fonts.conf");
  if (::access(file.c_str(), R_OK) == 0 && !LoadFontAliases(file)) {
    Log("font aliases cannot be loaded from " + file);
  }
}

UiContext::~UiContext() {
  // Shared and adopted windows end before the context that they point to.
  for (auto& [key, window] : shared_) {
    if (window && window->IsWindow()) window->Destroy();
  }
  shared_.clear();
  for (auto& window : adopted_) {
    if (window && window->IsWindow()) window->Destroy();
  }
  adopted_.clear();
  loop_.removeTarget(id_);
  if (currentContext == this) currentContext = previous_;
}

UiContext* UiContext::Current() {
  return currentContext;
}

std::string UiContext::DefaultResourcePath() {
  return platform::JoinPath(platform::ProgramDirectory(), "Skin/Zelk");
}

void UiContext::SetResourcePath(std::string path) {
  resourcePath_ = std::move(path);
  images_.SetResourceDir(resourcePath_);
  LoadSkinFonts();
}

void UiContext::Log(const std::string& line) const {
  if (log_) log_(line);
}

void UiContext::RegisterWindow(Window* window) {
  if (std::find(windows_.begin(), windows_.end(), window) == windows_.end()) {
    windows_.push_back(window);
  }
}

void UiContext::UnregisterWindow(Window* window) {
  std::erase(windows_, window);
  std::erase(activationOrder_, window);
  if (active_ == window) active_ = nullptr;
}

Window* UiContext::FindWindowByClass(std::string_view className) const {
  for (auto it = windows_.rbegin(); it != windows_.rend(); ++it) {
    if ((*it)->IsWindow() && (*it)->GetWindowClassName() == className) return *it;
  }
  return nullptr;
}

void UiContext::ActivatePrevious(Window* leaving) {
  std::erase(activationOrder_, leaving);
  for (auto it = activationOrder_.rbegin(); it != activationOrder_.rend(); ++it) {
    if ((*it)->IsVisible()) {
      SetActiveWindow(*it);
      return;
    }
  }
  SetActiveWindow(nullptr);
}

void UiContext::SetActiveWindow(Window* window) {
  if (window != nullptr) {
    std::erase(activationOrder_, window);
    activationOrder_.push_back(window);
  }
  if (window == active_) return;
  Window* old = active_;
  active_ = window;
  if (old != nullptr && old->IsWindow()) {
    old->SendMessage(WM_ACTIVATE, 0);
    // wParam: the window that takes the focus (menus tell their own shadow from others).
    old->SendMessage(WM_KILLFOCUS, window != nullptr ? window->GetHWND() : 0);
  }
  if (window != nullptr && active_ == window && window->IsWindow()) {
    window->SendMessage(WM_ACTIVATE, 1);
    window->SendMessage(WM_SETFOCUS, 0);
  }
}

Window* UiContext::AdoptWindow(std::unique_ptr<Window> window) {
  Window* raw = window.get();
  if (raw != nullptr) adopted_.push_back(std::move(window));
  return raw;
}

void UiContext::WindowFinished(Window* window) {
  const bool adopted = std::any_of(adopted_.begin(), adopted_.end(),
                                   [&](const auto& owned) { return owned.get() == window; });
  if (adopted) {
    loop_.post(id_, kFreeAdoptedWindow, {}, reinterpret_cast<std::uintptr_t>(window));
  }
}

void UiContext::onMessage(platform::Message& message) {
  if (message.message != kFreeAdoptedWindow) return;
  const auto* window = reinterpret_cast<const Window*>(message.wParam);
  std::erase_if(adopted_, [&](const auto& owned) { return owned.get() == window; });
}

Window* UiContext::SharedWindow(const std::string& key) const {
  const auto it = shared_.find(key);
  return it != shared_.end() ? it->second.get() : nullptr;
}

Window* UiContext::SetSharedWindow(const std::string& key, std::unique_ptr<Window> window) {
  Window* raw = window.get();
  shared_[key] = std::move(window);
  return raw;
}

}  // namespace skinui
