#pragma once

#include <cstddef>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "platform/message_loop.h"
#include "skinui/window_backend.h"

namespace skinui::gtk {

class OverlayHost;

// Where the pages' data goes: a folder (cookies, storage and the cache under it) or nowhere
// (an empty folder: everything stays in memory and ends with the process).
struct WebEngineOptions {
  std::string dataDirectory;
};

// Page commands are lists of texts; a page that sends more, or longer texts, is cut here so
// that a hostile page cannot flood the window thread.
inline constexpr std::size_t kMaxPageCommandArgs = 1024;
inline constexpr std::size_t kMaxPageCommandTextUnits = 64 * 1024;

// The web views of the backend (WebKitGTK; the only part of the program that knows WebKit).
// Every view of one engine shares its data folder, and its views are related views so that they
// share one web process. Events reach the
// web-browser controls through the message loop, never from inside WebKit's callbacks.
class WebEngine {
 public:
  using UrlProtocolHandler = std::function<void(const std::string& url)>;

  WebEngine(platform::MessageLoop& loop, WebEngineOptions options);
  ~WebEngine();
  WebEngine(const WebEngine&) = delete;
  WebEngine& operator=(const WebEngine&) = delete;

  // "zelk://" navigations inside a page are stopped and handed here (on the window thread).
  void SetUrlProtocolHandler(UrlProtocolHandler handler);
  // Empties the pages' cache: before the first view its folder is removed, later the running
  // views' cache is cleared.
  void ClearCache();
  // A view over `browser`'s rectangle in the window of `host`.
  std::unique_ptr<WebView> CreateView(OverlayHost& host, WebBrowser& browser);
  // Views alive now (for tests and the memory benchmark).
  int ViewCount() const;
  // Views are made only once a first frame is on screen, then one per idle turn of the loop.
  void FirstFramePainted();

  // The engine's state, known only to the WebKit source.
  struct Impl;

 private:
  std::unique_ptr<Impl> impl_;
};

}  // namespace skinui::gtk
