#pragma once

#include <cstddef>
#include <memory>
#include <string>
#include <vector>

#include "skinui/geometry.h"
#include "skinui/gtk/overlay_host.h"

// The interface between the desktop backend and its web module, libZelkWeb.so: the one part of
// the program that links WebKitGTK. The program does not link it, so that the dynamic loader
// spends nothing on WebKit before the first frame; the backend loads the module afterwards.
// Both sides are built together; the version number refuses a module of another build.
namespace skinui::gtk {

inline constexpr int kWebModuleInterfaceVersion = 1;
// The base name of the module's file ("libZelkWeb.so" here).
inline constexpr const char* kWebModuleBaseName = "ZelkWeb";
// extern "C" WebModule* ZelkWebCreateModule(int interfaceVersion, const char* dataDirectory):
// null for another interface version. The caller owns the module.
inline constexpr const char* kWebModuleEntryPoint = "ZelkWebCreateModule";

// What a page reports, called inside WebKit's callbacks on the window thread: the receiver
// only records or posts, it never destroys the page from here.
class WebPageEvents {
 public:
  virtual void NavigationCompleted(const std::string& url) = 0;
  // status: the HTTP status of a reply that was not the page, 0 when no reply came.
  virtual void NavigationFailed(const std::string& url, int status) = 0;
  // The page's texts (UTF-8), at most kMaxPageCommandArgs of them.
  virtual void PageCommand(std::vector<std::string> args) = 0;
  // A "zelk://" navigation, stopped.
  virtual void UrlProtocolRequested(const std::string& url) = 0;

 protected:
  ~WebPageEvents() = default;
};

// One web view, a native widget over a window's client area; removed from the window with it.
class WebPage {
 public:
  virtual ~WebPage() = default;
  virtual void Load(const std::string& url, bool noScrollBars) = 0;
  virtual void Place(const Rect& clientRect, bool visible) = 0;
};

// Page command limits: a page that sends more, or longer texts, is cut so that a hostile page
// cannot flood the window thread.
inline constexpr std::size_t kMaxPageCommandArgs = 1024;
inline constexpr std::size_t kMaxPageCommandTextUnits = 64 * 1024;

// The module's engine: every page shares its data folder and one web process.
class WebModule {
 public:
  virtual ~WebModule() = default;
  virtual std::unique_ptr<WebPage> CreatePage(OverlayHost& host, WebPageEvents& events) = 0;
  // Empties the running pages' cache.
  virtual void ClearCache() = 0;
};

using WebModuleEntry = WebModule* (*)(int interfaceVersion, const char* dataDirectory);

}  // namespace skinui::gtk
