#pragma once

#include <functional>
#include <memory>
#include <string>

#include "platform/message_loop.h"
#include "skinui/window_backend.h"

namespace skinui::gtk {

class OverlayHost;

struct WebEngineOptions {
  // Where the pages' data goes: a folder (cookies, storage and the cache under it) or nowhere
  // (an empty folder: everything stays in memory and ends with the process).
  std::string dataDirectory;
  // The web module's file; empty: the module beside the program.
  std::string modulePath;
};

// The web views of the backend. WebKit lives in the web module (web_module.h), which is loaded
// only once a first frame is on screen and a view waits for it, so that neither the dynamic
// loader before `main` nor the first frame pays for WebKit. Every view of one engine shares its
// data folder and one web process. Events reach the web-browser controls through the message
// loop, never from inside WebKit's callbacks. Without the module the program runs on: the views
// stay empty, each navigation fails, and the log says why once.
class WebEngine {
 public:
  using UrlProtocolHandler = std::function<void(const std::string& url)>;

  WebEngine(platform::MessageLoop& loop, WebEngineOptions options);
  ~WebEngine();
  WebEngine(const WebEngine&) = delete;
  WebEngine& operator=(const WebEngine&) = delete;

  // "zelk://" navigations inside a page are stopped and handed here (on the window thread).
  void SetUrlProtocolHandler(UrlProtocolHandler handler);
  // Empties the pages' cache: before the module runs its folder is removed, later the running
  // views' cache is cleared.
  void ClearCache();
  // A view over `browser`'s rectangle in the window of `host`.
  std::unique_ptr<WebView> CreateView(OverlayHost& host, WebBrowser& browser);
  // Views alive now (for tests and the memory benchmark).
  int ViewCount() const;
  // Views are made only once a first frame is on screen: the module is loaded on an idle turn
  // of the loop, then one view is made per idle turn.
  void FirstFramePainted();

  // The engine's state, known only to its source.
  struct Impl;

 private:
  std::unique_ptr<Impl> impl_;
};

}  // namespace skinui::gtk
