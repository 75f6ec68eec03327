// The web module, libZelkWeb.so: the one source of the program that uses WebKitGTK. Linking
// WebKit costs start-up time and memory, so the program does not link it; the backend loads this
// module once its first frame is on screen. It links GTK, WebKit and EGL only, and meets the
// backend through web_module.h alone.
#include <EGL/egl.h>
#include <webkit2/webkit2.h>

#include <strings.h>

#include <algorithm>
#include <filesystem>
#include <type_traits>

#include "skinui/gtk/web_module.h"

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

// Texts stay texts, numbers and yes/no become their script text; anything else (objects,
// lists, null, undefined, functions) is not a text and is dropped.
void AppendArgument(JSCValue* value, std::vector<std::string>& args) {
  if (jsc_value_is_string(value) || jsc_value_is_number(value) || jsc_value_is_boolean(value)) {
    const GText text(jsc_value_to_string(value));
    args.emplace_back(text ? text.get() : "");
  }
}

std::vector<std::string> PageCommandArguments(JSCValue* value) {
  std::vector<std::string> args;
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

// No exception may cross WebKit's C callbacks: a report that fails is dropped.
template <class Report>
void Safely(Report&& report) {
  try {
    report();
  } catch (...) {
  }
}

class WebKitModule final : public WebModule {
 public:
  explicit WebKitModule(std::string dataDirectory) : dataDirectory_(std::move(dataDirectory)) {}

  std::unique_ptr<WebPage> CreatePage(OverlayHost& host, WebPageEvents& events) override;

  void ClearCache() override {
    if (context_) {
      webkit_website_data_manager_clear(
          webkit_web_context_get_website_data_manager(context_.get()),
          static_cast<WebKitWebsiteDataTypes>(WEBKIT_WEBSITE_DATA_MEMORY_CACHE |
                                              WEBKIT_WEBSITE_DATA_DISK_CACHE),
          0, nullptr, nullptr, nullptr);
      return;
    }
    if (dataDirectory_.empty()) return;
    std::error_code error;
    std::filesystem::remove_all(dataDirectory_ + "/cache", error);
  }

  // A new view: related to one made earlier, so that all share one web process instead of one
  // each; the first one starts the context.
  WebKitWebView* NewView(WebKitUserContentManager* content, WebKitSettings* settings) {
    GtkWidget* view = nullptr;
    if (made_.empty()) {
      view =
          GTK_WIDGET(g_object_new(WEBKIT_TYPE_WEB_VIEW, "web-context", Context(),
                                  "user-content-manager", content, "settings", settings, nullptr));
    } else {
      view =
          GTK_WIDGET(g_object_new(WEBKIT_TYPE_WEB_VIEW, "related-view", made_.front(),
                                  "user-content-manager", content, "settings", settings, nullptr));
    }
    made_.push_back(WEBKIT_WEB_VIEW(view));
    return WEBKIT_WEB_VIEW(view);
  }
  void Forget(WebKitWebView* view) { std::erase(made_, view); }

 private:
  WebKitWebContext* Context() {
    if (context_) return context_.get();
    if (dataDirectory_.empty()) {
      context_.reset(webkit_web_context_new_ephemeral());
    } else {
      const std::string data = dataDirectory_ + "/data";
      const std::string cache = dataDirectory_ + "/cache";
      GObjectPtr<WebKitWebsiteDataManager> manager(WEBKIT_WEBSITE_DATA_MANAGER(
          g_object_new(WEBKIT_TYPE_WEBSITE_DATA_MANAGER, "base-data-directory", data.c_str(),
                       "base-cache-directory", cache.c_str(), nullptr)));
      context_.reset(webkit_web_context_new_with_website_data_manager(manager.get()));
    }
    // Pages of a desktop client: no back-forward cache, the smallest memory cache.
    webkit_web_context_set_cache_model(context_.get(), WEBKIT_CACHE_MODEL_DOCUMENT_VIEWER);
    return context_.get();
  }

  std::string dataDirectory_;
  GObjectPtr<WebKitWebContext> context_;
  // The views alive, the oldest first.
  std::vector<WebKitWebView*> made_;
};

class WebKitPage final : public WebPage, public OverlayClient {
 public:
  WebKitPage(WebKitModule& module, OverlayHost& host, WebPageEvents& events)
      : module_(module), host_(&host), events_(events) {
    content_.reset(webkit_user_content_manager_new());
    g_signal_connect(content_.get(), "script-message-received::zelk",
                     G_CALLBACK(&WebKitPage::OnScriptMessage), this);
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

    view_ = module_.NewView(content_.get(), settings.get());
    g_signal_connect(view_, "load-changed", G_CALLBACK(&WebKitPage::OnLoadChanged), this);
    g_signal_connect(view_, "load-failed", G_CALLBACK(&WebKitPage::OnLoadFailed), this);
    g_signal_connect(view_, "decide-policy", G_CALLBACK(&WebKitPage::OnDecidePolicy), this);
    host_->AddOverlay(GTK_WIDGET(view_), this);
  }

  ~WebKitPage() override {
    g_signal_handlers_disconnect_by_data(content_.get(), this);
    if (view_ != nullptr) {
      module_.Forget(view_);
      g_signal_handlers_disconnect_by_data(view_, this);
      if (host_ != nullptr) host_->RemoveOverlay(GTK_WIDGET(view_));
    }
  }

  void Load(const std::string& url, bool noScrollBars) override {
    if (view_ == nullptr) return;
    ApplyHostFlags(noScrollBars);
    failed_ = false;
    status_ = 0;
    webkit_web_view_load_uri(view_, url.c_str());
  }

  void Place(const Rect& clientRect, bool visible) override {
    if (host_ != nullptr && view_ != nullptr) {
      host_->PlaceOverlay(GTK_WIDGET(view_), clientRect, visible);
    }
  }

  void HostGone() override {
    if (view_ != nullptr) {
      module_.Forget(view_);
      g_signal_handlers_disconnect_by_data(view_, this);
    }
    view_ = nullptr;
    host_ = nullptr;
  }

 private:
  void ApplyHostFlags(bool noScrollBars) {
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
    auto* page = static_cast<WebKitPage*>(self);
    const char* uri = webkit_web_view_get_uri(view);
    if (event == WEBKIT_LOAD_STARTED) {
      page->failed_ = false;
      page->status_ = 0;
      Safely([&] { page->started_ = uri != nullptr ? uri : ""; });
      return;
    }
    if (event != WEBKIT_LOAD_FINISHED) return;
    // The end of a navigation that a newer one took over: that one reports for itself.
    if (page->overtakenFinishPending_) {
      page->overtakenFinishPending_ = false;
      return;
    }
    if (page->failed_) return;
    Safely([&] {
      const std::string url = uri != nullptr ? uri : "";
      // WebKit refuses some addresses (restricted ports) by showing an empty page without any
      // failure: that is no page loaded.
      if (url == "about:blank" && !page->started_.empty() && page->started_ != "about:blank") {
        page->events_.NavigationFailed(page->started_, 0);
      } else if (page->status_ >= 400) {
        // The server answered, but not with the page: a failed navigation with its status.
        page->events_.NavigationFailed(url, page->status_);
      } else {
        page->events_.NavigationCompleted(url);
      }
    });
  }

  static gboolean OnLoadFailed(WebKitWebView*, WebKitLoadEvent, gchar* failingUri, GError* error,
                               gpointer self) {
    auto* page = static_cast<WebKitPage*>(self);
    if (IsOvertaken(error)) {
      // WebKit follows a failure at once with the end of that load. Under load the newer
      // navigation may already have started, so the overtaken one must not mark the newer one
      // as failed; only its own end is swallowed.
      page->overtakenFinishPending_ = true;
      return TRUE;
    }
    page->failed_ = true;
    Safely([&] {
      page->events_.NavigationFailed(failingUri != nullptr ? failingUri : "", page->status_);
    });
    // The control's handler decides what to show instead (the local error page).
    return TRUE;
  }

  static gboolean OnDecidePolicy(WebKitWebView* view, WebKitPolicyDecision* decision,
                                 WebKitPolicyDecisionType type, gpointer self) {
    auto* page = static_cast<WebKitPage*>(self);
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
      Safely([&] { page->events_.UrlProtocolRequested(uri); });
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
    auto* page = static_cast<WebKitPage*>(self);
    // A message that cannot be read is dropped; the page goes on.
    Safely([&] {
      page->events_.PageCommand(
          PageCommandArguments(webkit_javascript_result_get_js_value(result)));
    });
  }

  WebKitModule& module_;
  OverlayHost* host_;
  WebPageEvents& events_;
  GObjectPtr<WebKitUserContentManager> content_;
  WebKitWebView* view_ = nullptr;  // owned by the host's window once added
  bool failed_ = false;
  bool overtakenFinishPending_ = false;
  int status_ = 0;
  std::string started_;  // the address the current navigation started with
  bool noScrollBars_ = false;
};

std::unique_ptr<WebPage> WebKitModule::CreatePage(OverlayHost& host, WebPageEvents& events) {
  return std::make_unique<WebKitPage>(*this, host, events);
}

}  // namespace

}  // namespace skinui::gtk

extern "C" __attribute__((visibility("default"))) skinui::gtk::WebModule* ZelkWebCreateModule(
    int interfaceVersion, const char* dataDirectory) {
  if (interfaceVersion != skinui::gtk::kWebModuleInterfaceVersion) return nullptr;
  // EGL reads its list of vendors now, while the program may still have emptied it for its own
  // process (window_side_egl.h); the web process started later reads the list anew.
  eglQueryString(EGL_NO_DISPLAY, EGL_EXTENSIONS);
  try {
    // The caller owns the module.
    return std::make_unique<skinui::gtk::WebKitModule>(dataDirectory != nullptr ? dataDirectory
                                                                                : "")
        .release();
  } catch (...) {
    return nullptr;
  }
}
static_assert(std::is_same_v<decltype(&ZelkWebCreateModule), skinui::gtk::WebModuleEntry>);
