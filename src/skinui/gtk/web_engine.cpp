#include "skinui/gtk/web_engine.h"

#include <glib.h>

#include <algorithm>
#include <deque>
#include <filesystem>
#include <utility>
#include <vector>

#include "platform/dynamic_library.h"
#include "platform/paths.h"
#include "skinui/gtk/overlay_host.h"
#include "skinui/gtk/web_module.h"
#include "skinui/gtk/window_side_egl.h"
#include "skinui/paint_manager.h"
#include "skinui/text_utf.h"
#include "skinui/ui_context.h"
#include "skinui/web_browser.h"

namespace skinui::gtk {

namespace {

constexpr std::uint32_t kViewEvent = 1;

struct ViewEvent {
  enum class Kind { Completed, Failed, Command, Protocol };
  Kind kind = Kind::Completed;
  std::string url;
  int status = 0;
  std::vector<std::u16string> args;
};

std::u16string LimitedText(const std::string& utf8) {
  std::u16string text = Utf8ToUtf16(utf8);
  if (text.size() > kMaxPageCommandTextUnits) text.resize(kMaxPageCommandTextUnits);
  return text;
}

class PageView;

}  // namespace

struct WebEngine::Impl {
  enum class Module { NotLoaded, Loaded, Missing };

  platform::MessageLoop& loop;
  WebEngineOptions options;
  UrlProtocolHandler protocolHandler;
  // The module's objects go before its code.
  platform::DynamicLibrary library;
  std::unique_ptr<WebModule> module;
  Module state = Module::NotLoaded;
  int views = 0;
  // Views are made after the first frame is on screen, one per idle turn of the loop, so that
  // neither the first frame nor any later frame waits for WebKit.
  bool firstFramePainted = false;
  std::deque<PageView*> waiting;
  guint creationSource = 0;

  Impl(platform::MessageLoop& l, WebEngineOptions o) : loop(l), options(std::move(o)) {}
  ~Impl() {
    if (creationSource != 0) g_source_remove(creationSource);
  }
  void Schedule();
  static gboolean CreateNext(gpointer self);
  // Loads the module; on failure the reason.
  std::string LoadModule();
  void ModuleMissing(const std::string& reason);
};

namespace {

// The control's side of a view: it keeps what the control asks for until the module's page
// exists, and turns the page's reports into messages for the control.
class PageView final : public WebView, public WebPageEvents, public platform::MessageTarget {
 public:
  PageView(WebEngine::Impl& engine, OverlayHost& host, WebBrowser& browser)
      : engine_(engine), host_(host), browser_(browser), id_(engine.loop.addTarget(*this)) {
    ++engine_.views;
    if (engine_.state == WebEngine::Impl::Module::Missing) return;
    engine_.waiting.push_back(this);
    engine_.Schedule();
  }

  ~PageView() override {
    --engine_.views;
    std::erase(engine_.waiting, this);
    engine_.loop.removeTarget(id_);
    // The page leaves the window before the control's state goes.
    page_.reset();
  }

  // Makes the module's page and hands it what the control asked for meanwhile.
  void Make(WebModule& module) {
    page_ = module.CreatePage(host_, *this);
    page_->Place(rect_, visible_);
    if (!pending_.empty()) Navigate(std::exchange(pending_, {}));
  }

  // No module: what waits fails now, as every later navigation will.
  void Unavailable() {
    if (!pending_.empty()) NavigationFailed(std::exchange(pending_, {}), 0);
  }

  void Navigate(const std::string& url) override {
    if (page_) {
      page_->Load(url, (browser_.GetHostInfoFlags() & DOCHOSTUIFLAG_SCROLL_NO) != 0);
    } else if (engine_.state == WebEngine::Impl::Module::Missing) {
      NavigationFailed(url, 0);
    } else {
      // Loaded as soon as the page is made; a later address replaces an earlier one.
      pending_ = url;
    }
  }

  void SetRect(const Rect& clientRect) override {
    rect_ = clientRect;
    if (page_) page_->Place(rect_, visible_);
  }

  void SetVisible(bool visible) override {
    visible_ = visible;
    if (page_) page_->Place(rect_, visible_);
  }

  void NavigationCompleted(const std::string& url) override {
    Post({.kind = ViewEvent::Kind::Completed, .url = url});
  }
  void NavigationFailed(const std::string& url, int status) override {
    Post({.kind = ViewEvent::Kind::Failed, .url = url, .status = status});
  }
  void PageCommand(std::vector<std::string> args) override {
    ViewEvent command{.kind = ViewEvent::Kind::Command};
    const std::size_t count = std::min(args.size(), kMaxPageCommandArgs);
    for (std::size_t i = 0; i < count; ++i) command.args.push_back(LimitedText(args[i]));
    Post(std::move(command));
  }
  void UrlProtocolRequested(const std::string& url) override {
    Post({.kind = ViewEvent::Kind::Protocol, .url = url});
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

  void Log(const std::string& line) const {
    if (PaintManager* manager = browser_.GetManager()) {
      if (UiContext* context = manager->GetContext()) context->Log(line);
    }
  }

 private:
  void Post(ViewEvent event) {
    engine_.loop.post(id_, kViewEvent, platform::Payload::make<ViewEvent>(std::move(event)));
  }

  WebEngine::Impl& engine_;
  OverlayHost& host_;
  WebBrowser& browser_;
  platform::WindowId id_;
  std::unique_ptr<WebPage> page_;
  Rect rect_;
  bool visible_ = false;
  std::string pending_;  // asked for before the page was made
};

}  // namespace

void WebEngine::Impl::Schedule() {
  if (!firstFramePainted || waiting.empty() || creationSource != 0) return;
  // Below the priority of drawing and input: a frame due is painted first.
  creationSource = g_idle_add_full(G_PRIORITY_LOW, &Impl::CreateNext, this, nullptr);
}

std::string WebEngine::Impl::LoadModule() {
  const std::string path =
      !options.modulePath.empty()
          ? options.modulePath
          : platform::JoinPath(platform::ProgramDirectory(),
                               platform::SharedLibraryFileName(kWebModuleBaseName));
  // WebKit runs threads and registers types that outlive any unloading: the module stays.
  library = platform::DynamicLibrary::open(path, platform::DynamicLibrary::Lifetime::Process);
  if (!library.loaded()) return library.error();
  const auto entry = reinterpret_cast<WebModuleEntry>(library.symbol(kWebModuleEntryPoint));
  if (entry == nullptr) return path + " has no " + kWebModuleEntryPoint;
  module.reset(entry(kWebModuleInterfaceVersion, options.dataDirectory.c_str()));
  if (!module) return path + " belongs to another build";
  return {};
}

void WebEngine::Impl::ModuleMissing(const std::string& reason) {
  state = Module::Missing;
  if (!waiting.empty()) {
    waiting.front()->Log("web pages cannot be shown, the web module did not load: " + reason);
  }
  for (PageView* view : std::exchange(waiting, {})) view->Unavailable();
}

gboolean WebEngine::Impl::CreateNext(gpointer self) {
  auto* impl = static_cast<Impl*>(self);
  if (impl->state == Module::NotLoaded) {
    // Loading WebKit is an idle turn of its own.
    std::string failure;
    try {
      failure = impl->LoadModule();
    } catch (...) {
      failure = "it failed to start";
    }
    // EGL has read its vendors by now; WebKit's web process and the programs the client starts
    // find the machine's EGL again.
    WindowSideEgl::RestoreVendors();
    if (failure.empty()) {
      impl->state = Module::Loaded;
      return G_SOURCE_CONTINUE;
    }
    impl->ModuleMissing(failure);
  } else if (!impl->waiting.empty()) {
    PageView* view = impl->waiting.front();
    impl->waiting.pop_front();
    try {
      view->Make(*impl->module);
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
  if (impl_->module) {
    impl_->module->ClearCache();
    return;
  }
  if (impl_->options.dataDirectory.empty()) return;
  std::error_code error;
  std::filesystem::remove_all(impl_->options.dataDirectory + "/cache", error);
}

std::unique_ptr<WebView> WebEngine::CreateView(OverlayHost& host, WebBrowser& browser) {
  return std::make_unique<PageView>(*impl_, host, browser);
}

int WebEngine::ViewCount() const {
  return impl_->views;
}

void WebEngine::FirstFramePainted() {
  impl_->firstFramePainted = true;
  impl_->Schedule();
}

}  // namespace skinui::gtk
