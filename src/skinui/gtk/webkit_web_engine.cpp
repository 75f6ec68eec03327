// The one source file of the program that uses WebKitGTK: linking WebKit costs start-up time
// and memory, so nothing else includes it.
#include <webkit2/webkit2.h>

#include <strings.h>
#include <algorithm>
#include <cstdint>
#include <deque>
#include <filesystem>

#include "skinui/gtk/overlay_host.h"
#include "skinui/gtk/web_engine.h"
#include "skinui/text_utf.h"
#include "skinui/web_browser.h"

namespace skinui::gtk {

namespace {

// Pages written for the old engine call window.external.Command(...): hand those calls to the
// "zelk" message handler as one list of arguments.
constexpr const char* kExternalShim = R"((function () {
  var handlers = window.webkit && window.webkit.messageHandlers;
  if (!handlers || !handlers.zelk) return;
  var zelk = handlers.zelk;
  var command = function () { zelk.postMessage(Array.prototype.slice.call(arguments)); };
  try {
    if (window.external) window.external.Command = command;
    if (window.external && window.external.Command === command) return;
  } catch (e) {}
  try {
    Object.defineProperty(window, "external", { value: { Command: command }, configurable: true });
  } catch (e) {}
})();)";

// The host asked for no scroll bars.
constexpr const char* kNoScrollBars = "html, body { overflow: hidden !important; }";

constexpr std::uint32_t kViewEvent = 1;

struct ViewEvent {
  enum class Kind { Completed, Failed, Command, Protocol };
  Kind kind = Kind::Completed;
  std::string url;
  int status = 0;
  std::vector<std::u16string> args;
};

template <class T>
struct GObjectDeleter {
  void operator()(T* object) const {
    if (object != nullptr) g_object_unref(object);
  }
};
template <class T>
using GObjectPtr = std::unique_ptr<T, GObjectDeleter<T>>;

struct GFreeDeleter {
  void operator()(gchar* text) const { g_free(text); }
};
using GText = std::unique_ptr<gchar, GFreeDeleter>;

std::u16string LimitedText(const char* utf8) {
  std::u16string text = Utf8ToUtf16(utf8 != nullptr ? utf8 : "");
  if (text.size() > kMaxPageCommandTextUnits) text.resize(kMaxPageCommandTextUnits);
  return text;
}

// Texts stay texts, numbers and yes/no become their script text; anything else (objects,
// lists, null, undefined, functions) is not a text and is dropped.
void AppendArgument(JSCValue* value, std::vector<std::u16string>& args) {
  if (jsc_value_is_string(value) || jsc_value_is_number(value) || jsc_value_is_boolean(value)) {
    const GText text(jsc_value_to_string(value));
    args.push_back(LimitedText(text.get()));
  }
}

std::vector<std::u16string> PageCommandArguments(JSCValue* value) {
  std::vector<std::u16string> args;
  if (value == nullptr) return args;
  if (!jsc_value_is_array(value)) {
    AppendArgument(value, args);
    return args;
  }
  const GObjectPtr<JSCValue> length(jsc_value_object_get_property(value, "length"));
  const double count = length ? jsc_value_to_double(length.get()) : 0;
  const auto n = static_cast<guint>(std::clamp(count, 0.0, double(kMaxPageCommandArgs)));
  for (guint i = 0; i < n; ++i) {
    const GObjectPtr<JSCValue> item(jsc_value_object_get_property_at_index(value, i));
    if (item) AppendArgument(item.get(), args);
  }
  return args;
}

bool IsUrlProtocolRequest(const char* uri) {
  return uri != nullptr && strncasecmp(uri, "zelk:", 5) == 0;
}

// A navigation that ended because a newer one took over, or because its reply was not shown
// on purpose: nothing to report.
bool IsOvertaken(const GError* error) {
  return error != nullptr &&
         ((error->domain == WEBKIT_NETWORK_ERROR &&
           error->code == WEBKIT_NETWORK_ERROR_CANCELLED) ||
          (error->domain == WEBKIT_POLICY_ERROR &&
           error->code == WEBKIT_POLICY_ERROR_FRAME_LOAD_INTERRUPTED_BY_POLICY_CHANGE));
}

}  // namespace

namespace {
class WebKitPageView;
}  // namespace

struct WebEngine::Impl {
  platform::MessageLoop& loop;
  WebEngineOptions options;
  UrlProtocolHandler protocolHandler;
  GObjectPtr<WebKitWebContext> context;
  int views = 0;
  // Views are made after the first frame is on screen, one per idle turn of the loop, so that
  // neither the first frame nor any later frame waits for WebKit.
  bool firstFramePainted = false;
  std::deque<WebKitPageView*> waiting;
  guint creationSource = 0;
  // The views made so far: a new one is related to one of them, so that all share one web
  // process instead of one each.
  std::vector<WebKitWebView*> made;

  Impl(platform::MessageLoop& l, WebEngineOptions o) : loop(l), options(std::move(o)) {}
  ~Impl() {
    if (creationSource != 0) g_source_remove(creationSource);
  }
  void Schedule();
  static gboolean CreateNext(gpointer self);

  WebKitWebContext* Context() {
    if (context) return context.get();
    if (options.dataDirectory.empty()) {
      context.reset(webkit_web_context_new_ephemeral());
    } else {
      const std::string data = options.dataDirectory + "/data";
      const std::string cache = options.dataDirectory + "/cache";
      GObjectPtr<WebKitWebsiteDataManager> manager(WEBKIT_WEBSITE_DATA_MANAGER(
          g_object_new(WEBKIT_TYPE_WEBSITE_DATA_MANAGER, "base-data-directory", data.c_str(),
                       "base-cache-directory", cache.c_str(), nullptr)));
      context.reset(webkit_web_context_new_with_website_data_manager(manager.get()));
    }
    // Pages of a desktop client: no back-forward cache, the smallest memory cache.
    webkit_web_context_set_cache_model(context.get(), WEBKIT_CACHE_MODEL_DOCUMENT_VIEWER);
    return context.get();
  }
};

namespace {

class WebKitPageView final : public WebView, public OverlayClient, public platform::MessageTarget {
 public:
  WebKitPageView(WebEngine::Impl& engine, OverlayHost& host, WebBrowser& browser)
      : engine_(engine), host_(&host), browser_(browser), id_(engine.loop.addTarget(*this)) {
    ++engine_.views;
    engine_.waiting.push_back(this);
    engine_.Schedule();
  }

  ~WebKitPageView() override {
    --engine_.views;
    std::erase(engine_.waiting, this);
    engine_.loop.removeTarget(id_);
    if (content_) g_signal_handlers_disconnect_by_data(content_.get(), this);
    if (view_ != nullptr) {
      std::erase(engine_.made, WEBKIT_WEB_VIEW(view_));
      g_signal_handlers_disconnect_by_data(view_, this);
      if (host_ != nullptr) host_->RemoveOverlay(view_);
    }
  }

  // Makes the WebKit view and hands it what the control asked for meanwhile.
  void Make() {
    if (host_ == nullptr || view_ != nullptr) return;
    content_.reset(webkit_user_content_manager_new());
    g_signal_connect(content_.get(), "script-message-received::zelk",
                     G_CALLBACK(&WebKitPageView::OnScriptMessage), this);
    webkit_user_content_manager_register_script_message_handler(content_.get(), "zelk");
    WebKitUserScript* shim =
        webkit_user_script_new(kExternalShim, WEBKIT_USER_CONTENT_INJECT_ALL_FRAMES,
                               WEBKIT_USER_SCRIPT_INJECT_AT_DOCUMENT_START, nullptr, nullptr);
    // The manager keeps its own reference to the script (a boxed type, not an object).
    webkit_user_content_manager_add_script(content_.get(), shim);
    webkit_user_script_unref(shim);

    GObjectPtr<WebKitSettings> settings(webkit_settings_new());
    webkit_settings_set_enable_developer_extras(settings.get(), FALSE);
    webkit_settings_set_javascript_can_open_windows_automatically(settings.get(), FALSE);
    webkit_settings_set_enable_write_console_messages_to_stdout(settings.get(), FALSE);

    WebKitWebContext* context = engine_.Context();
    if (engine_.made.empty()) {
      view_ = GTK_WIDGET(g_object_new(WEBKIT_TYPE_WEB_VIEW, "web-context", context,
                                      "user-content-manager", content_.get(), "settings",
                                      settings.get(), nullptr));
    } else {
      view_ = GTK_WIDGET(g_object_new(WEBKIT_TYPE_WEB_VIEW, "related-view", engine_.made.front(),
                                      "user-content-manager", content_.get(), "settings",
                                      settings.get(), nullptr));
    }
    engine_.made.push_back(WEBKIT_WEB_VIEW(view_));
    g_signal_connect(view_, "load-changed", G_CALLBACK(&WebKitPageView::OnLoadChanged), this);
    g_signal_connect(view_, "load-failed", G_CALLBACK(&WebKitPageView::OnLoadFailed), this);
    g_signal_connect(view_, "decide-policy", G_CALLBACK(&WebKitPageView::OnDecidePolicy), this);
    host_->AddOverlay(view_, this);
    host_->PlaceOverlay(view_, rect_, visible_);
    if (!pending_.empty()) {
      const std::string url = std::move(pending_);
      pending_.clear();
      Load(url);
    }
  }

  void Navigate(const std::string& url) override {
    if (view_ == nullptr) {
      // Loaded as soon as the view is made; a later address replaces an earlier one.
      pending_ = url;
      return;
    }
    Load(url);
  }

  void SetRect(const Rect& clientRect) override {
    rect_ = clientRect;
    if (host_ != nullptr && view_ != nullptr) host_->PlaceOverlay(view_, rect_, visible_);
  }

  void SetVisible(bool visible) override {
    visible_ = visible;
    if (host_ != nullptr && view_ != nullptr) host_->PlaceOverlay(view_, rect_, visible_);
  }

  void HostGone() override {
    if (view_ != nullptr) {
      std::erase(engine_.made, WEBKIT_WEB_VIEW(view_));
      g_signal_handlers_disconnect_by_data(view_, this);
    }
    std::erase(engine_.waiting, this);
    view_ = nullptr;
    host_ = nullptr;
  }

  void onMessage(platform::Message& message) override {
    if (message.message != kViewEvent) return;
    const auto* event = message.payload.get<ViewEvent>();
    if (event == nullptr) return;
    switch (event->kind) {
      case ViewEvent::Kind::Completed:
        browser_.OnNavigateComplete(event->url);
        break;
      case ViewEvent::Kind::Failed:
        browser_.OnNavigateError(event->url, event->status);
        break;
      case ViewEvent::Kind::Command:
        browser_.OnPageCommand(event->args);
        break;
      case ViewEvent::Kind::Protocol:
        if (engine_.protocolHandler) engine_.protocolHandler(event->url);
        break;
    }
  }

 private:
  void Load(const std::string& url) {
    ApplyHostFlags();
    failed_ = false;
    status_ = 0;
    webkit_web_view_load_uri(WEBKIT_WEB_VIEW(view_), url.c_str());
  }

  void Post(ViewEvent event) {
    engine_.loop.post(id_, kViewEvent, platform::Payload::make<ViewEvent>(std::move(event)));
  }

  void ApplyHostFlags() {
    const bool noScrollBars = (browser_.GetHostInfoFlags() & DOCHOSTUIFLAG_SCROLL_NO) != 0;
    if (noScrollBars == noScrollBars_) return;
    noScrollBars_ = noScrollBars;
    webkit_user_content_manager_remove_all_style_sheets(content_.get());
    if (!noScrollBars) return;
    WebKitUserStyleSheet* sheet =
        webkit_user_style_sheet_new(kNoScrollBars, WEBKIT_USER_CONTENT_INJECT_TOP_FRAME,
                                    WEBKIT_USER_STYLE_LEVEL_USER, nullptr, nullptr);
    webkit_user_content_manager_add_style_sheet(content_.get(), sheet);
    webkit_user_style_sheet_unref(sheet);
  }

  static void OnLoadChanged(WebKitWebView* view, WebKitLoadEvent event, gpointer self) {
    auto* page = static_cast<WebKitPageView*>(self);
    const char* uri = webkit_web_view_get_uri(view);
    if (event == WEBKIT_LOAD_STARTED) {
      page->failed_ = false;
      page->status_ = 0;
      page->started_ = uri != nullptr ? uri : "";
      return;
    }
    if (event != WEBKIT_LOAD_FINISHED) return;
    // The end of a navigation that a newer one took over: that one reports for itself.
    if (page->overtakenFinishPending_) {
      page->overtakenFinishPending_ = false;
      return;
    }
    if (page->failed_) return;
    ViewEvent done;
    done.url = uri != nullptr ? uri : "";
    done.status = page->status_;
    // The server answered, but not with the page: a failed navigation with its status.
    done.kind = page->status_ >= 400 ? ViewEvent::Kind::Failed : ViewEvent::Kind::Completed;
    // WebKit refuses some addresses (restricted ports) by showing an empty page without any
    // failure: that is no page loaded.
    if (done.url == "about:blank" && !page->started_.empty() && page->started_ != "about:blank") {
      done.kind = ViewEvent::Kind::Failed;
      done.url = page->started_;
      done.status = 0;
    }
    page->Post(std::move(done));
  }

  static gboolean OnLoadFailed(WebKitWebView*, WebKitLoadEvent, gchar* failingUri, GError* error,
                               gpointer self) {
    auto* page = static_cast<WebKitPageView*>(self);
    if (IsOvertaken(error)) {
      // WebKit follows a failure at once with the end of that load. Under load the newer
      // navigation may already have started, so the overtaken one must not mark the newer one
      // as failed; only its own end is swallowed.
      page->overtakenFinishPending_ = true;
      return TRUE;
    }
    page->failed_ = true;
    ViewEvent failed;
    failed.kind = ViewEvent::Kind::Failed;
    failed.url = failingUri != nullptr ? failingUri : "";
    failed.status = page->status_;
    page->Post(std::move(failed));
    // The control's handler decides what to show instead (the local error page).
    return TRUE;
  }

  static gboolean OnDecidePolicy(WebKitWebView* view, WebKitPolicyDecision* decision,
                                 WebKitPolicyDecisionType type, gpointer self) {
    auto* page = static_cast<WebKitPageView*>(self);
    if (type == WEBKIT_POLICY_DECISION_TYPE_RESPONSE) {
      auto* response = WEBKIT_RESPONSE_POLICY_DECISION(decision);
      if (webkit_response_policy_decision_is_main_frame_main_resource(response)) {
        page->status_ = static_cast<int>(webkit_uri_response_get_status_code(
            webkit_response_policy_decision_get_response(response)));
      }
      if (!webkit_response_policy_decision_is_mime_type_supported(response)) {
        // Files are fetched by the client's own downloads, never by the view.
        webkit_policy_decision_ignore(decision);
        return TRUE;
      }
      return FALSE;
    }
    auto* action = webkit_navigation_policy_decision_get_navigation_action(
        WEBKIT_NAVIGATION_POLICY_DECISION(decision));
    const char* uri = webkit_uri_request_get_uri(webkit_navigation_action_get_request(action));
    if (IsUrlProtocolRequest(uri)) {
      webkit_policy_decision_ignore(decision);
      ViewEvent request;
      request.kind = ViewEvent::Kind::Protocol;
      request.url = uri;
      page->Post(std::move(request));
      return TRUE;
    }
    if (type == WEBKIT_POLICY_DECISION_TYPE_NEW_WINDOW_ACTION) {
      // The embedded browser has no windows of its own: the page opens in place.
      webkit_policy_decision_ignore(decision);
      if (uri != nullptr) webkit_web_view_load_uri(view, uri);
      return TRUE;
    }
    return FALSE;
  }

  static void OnScriptMessage(WebKitUserContentManager*, WebKitJavascriptResult* result,
                              gpointer self) {
    auto* page = static_cast<WebKitPageView*>(self);
    try {
      ViewEvent command;
      command.kind = ViewEvent::Kind::Command;
      command.args = PageCommandArguments(webkit_javascript_result_get_js_value(result));
      page->Post(std::move(command));
    } catch (...) {
      // A message that cannot be read is dropped; the page goes on.
    }
  }

  WebEngine::Impl& engine_;
  OverlayHost* host_;
  WebBrowser& browser_;
  platform::WindowId id_;
  GObjectPtr<WebKitUserContentManager> content_;
  GtkWidget* view_ = nullptr;  // owned by the host's window once added
  Rect rect_;
  bool visible_ = false;
  bool failed_ = false;
  bool overtakenFinishPending_ = false;
  int status_ = 0;
  std::string started_;  // the address the current navigation started with
  bool noScrollBars_ = false;
  std::string pending_;  // asked for before the view was made
};

}  // namespace

void WebEngine::Impl::Schedule() {
  if (!firstFramePainted || waiting.empty() || creationSource != 0) return;
  // Below the priority of drawing and input: a frame due is painted first.
  creationSource = g_idle_add_full(G_PRIORITY_LOW, &Impl::CreateNext, this, nullptr);
}

gboolean WebEngine::Impl::CreateNext(gpointer self) {
  auto* impl = static_cast<Impl*>(self);
  if (!impl->waiting.empty()) {
    WebKitPageView* view = impl->waiting.front();
    impl->waiting.pop_front();
    try {
      view->Make();
    } catch (...) {
      // A view that cannot be made stays empty; the others are still made.
    }
  }
  if (!impl->waiting.empty()) return G_SOURCE_CONTINUE;
  impl->creationSource = 0;
  return G_SOURCE_REMOVE;
}

WebEngine::WebEngine(platform::MessageLoop& loop, WebEngineOptions options)
    : impl_(std::make_unique<Impl>(loop, std::move(options))) {}

WebEngine::~WebEngine() = default;

void WebEngine::SetUrlProtocolHandler(UrlProtocolHandler handler) {
  impl_->protocolHandler = std::move(handler);
}

void WebEngine::ClearCache() {
  if (impl_->context) {
    webkit_website_data_manager_clear(
        webkit_web_context_get_website_data_manager(impl_->context.get()),
        static_cast<WebKitWebsiteDataTypes>(WEBKIT_WEBSITE_DATA_MEMORY_CACHE |
                                            WEBKIT_WEBSITE_DATA_DISK_CACHE),
        0, nullptr, nullptr, nullptr);
    return;
  }
  if (impl_->options.dataDirectory.empty()) return;
  std::error_code error;
  std::filesystem::remove_all(impl_->options.dataDirectory + "/cache", error);
}

std::unique_ptr<WebView> WebEngine::CreateView(OverlayHost& host, WebBrowser& browser) {
  return std::make_unique<WebKitPageView>(*impl_, host, browser);
}

int WebEngine::ViewCount() const {
  return impl_->views;
}

void WebEngine::FirstFramePainted() {
  impl_->firstFramePainted = true;
  impl_->Schedule();
}

}  // namespace skinui::gtk
