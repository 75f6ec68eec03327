#include "gtk_test_support.h"

#include <gdk/gdk.h>

#include <cstdlib>
#include <thread>

#include "skinui/frame_hit_test.h"
#include "skinui/gtk/desktop_display.h"

// Last: Xlib's macros would clash with the names above.
#include <X11/Xlib.h>
#include <gdk/gdkx.h>

namespace skinui_gtk_test {

using namespace skinui;

void DesktopEnvironment::SetUp() {
  if (!VirtualDisplay::Installed()) return;
  std::string error;
  if (!display_.Start(error)) {
    ADD_FAILURE() << error;
    return;
  }
  home_ = std::make_unique<testing_support::TempDir>();
  ::setenv("DISPLAY", display_.name().c_str(), 1);
  ::unsetenv("WAYLAND_DISPLAY");
  // Software painting of pages: no GL under Xvfb, and far less memory.
  ::setenv("WEBKIT_DISABLE_COMPOSITING_MODE", "1", 1);
  ::setenv("XDG_CACHE_HOME", home_->file("cache").c_str(), 1);
  ::setenv("XDG_DATA_HOME", home_->file("data").c_str(), 1);
  ::setenv("XDG_CONFIG_HOME", home_->file("config").c_str(), 1);
  ::setenv("GTK_A11Y", "none", 1);
  ::setenv("NO_AT_BRIDGE", "1", 1);
  // The backend chooses GDK's OpenGL itself (none); the tests see that choice, not the caller's.
  ::unsetenv("GDK_GL");
  if (!gtk::DesktopDisplay::Open("skinui-gtk-tests", nullptr, error)) {
    ADD_FAILURE() << error;
    return;
  }
  available_ = true;
}

std::intptr_t TestFrame::HandleMessage(std::uint32_t message, std::uintptr_t wParam,
                                       std::intptr_t lParam) {
  switch (message) {
    case WM_CREATE: {
      BuildOptions options;
      options.resourceDir = GetContext().ResourcePath();
      options.manager = &paintManager_;
      options.log = [this](const std::string& line) { GetContext().Log(line); };
      paintManager_.AttachDialog(Builder(options).CreateFromString(xml_, "gtk_test.xml"));
      paintManager_.AddNotifier(this);
      return 0;
    }
    case WM_NCHITTEST:
      return NonClientHitTest(*this, {PointParamX(lParam), PointParamY(lParam)});
    case WM_KILLFOCUS:
    case WM_EXITSIZEMOVE:
    case WM_SYSCOMMAND:
    case WM_KEYDOWN:
    case WM_HELP:
    case WM_MOUSEWHEEL:
    case WM_LBUTTONDBLCLK:
      seen.push_back({"msg:" + std::to_string(message), "", wParam});
      break;
    default:
      break;
  }
  return Window::HandleMessage(message, wParam, lParam);
}

void TestFrame::Notify(TNotifyUI& msg) {
  const std::string sender = msg.pSender != nullptr ? msg.pSender->GetName() : "";
  seen.push_back({msg.sType, sender, msg.wParam});
  if (msg.sType == "windowinit") {
    if (auto* browser = paintManager_.TryFind<WebBrowser>("ie_for_test")) {
      browser->SetWebBrowserEventHandler(this);
    }
  }
}

void TestFrame::NavigateComplete(WebBrowser&, const std::string& url) {
  navigations.push_back("complete " + url);
}

void TestFrame::NavigateError(WebBrowser&, const std::string& url, int status) {
  navigations.push_back("error " + std::to_string(status) + " " + url);
}

void TestFrame::PageCommand(WebBrowser&, const std::vector<std::u16string>& args) {
  commands.push_back(args);
}

bool TestFrame::Saw(const std::string& what, const std::string& sender) const {
  return Count(what, sender) > 0;
}

int TestFrame::Count(const std::string& what, const std::string& sender) const {
  int n = 0;
  for (const Seen& s : seen) {
    if (s.what == what && (sender.empty() || s.sender == sender)) ++n;
  }
  return n;
}

std::string AppDirectory() {
  const char* app = std::getenv("ZELK_APP_DIR");
  return app != nullptr && *app != '\0' ? app : SKINUI_GTK_APP_DIR;
}

bool PumpUntil(gtk::GlibMessageLoop& loop, const std::function<bool()>& condition, int timeoutMs) {
  const auto deadline = std::chrono::steady_clock::now() + std::chrono::milliseconds(timeoutMs);
  while (!condition()) {
    if (std::chrono::steady_clock::now() >= deadline) return false;
    loop.pumpFor(10);
  }
  return true;
}

void Settle(gtk::GlibMessageLoop& loop, int ms) {
  gdk_display_sync(gdk_display_get_default());
  loop.pumpFor(ms);
}

Rect SystemRect(const skinui::Window& window) {
  const auto* native = dynamic_cast<gtk::GtkNativeWindow*>(window.GetNative());
  GdkWindow* gdkWindow = native != nullptr ? gtk_widget_get_window(native->Toplevel()) : nullptr;
  if (gdkWindow == nullptr) return {};
  int x = 0, y = 0;
  gdk_window_get_origin(gdkWindow, &x, &y);
  return {x, y, x + gdk_window_get_width(gdkWindow), y + gdk_window_get_height(gdkWindow)};
}

std::uint32_t ScreenPixel(int x, int y) {
  GdkWindow* root = gdk_get_default_root_window();
  GdkPixbuf* pixbuf = gdk_pixbuf_get_from_window(root, x, y, 1, 1);
  if (pixbuf == nullptr) return 0xFFFFFFFF;
  const guchar* p = gdk_pixbuf_get_pixels(pixbuf);
  const std::uint32_t rgb = (std::uint32_t{p[0]} << 16) | (std::uint32_t{p[1]} << 8) | p[2];
  g_object_unref(pixbuf);
  return rgb;
}

int StackingIndex(const skinui::Window& window) {
  const auto* native = dynamic_cast<gtk::GtkNativeWindow*>(window.GetNative());
  GdkWindow* gdkWindow = native != nullptr ? gtk_widget_get_window(native->Toplevel()) : nullptr;
  if (gdkWindow == nullptr) return -1;
  Display* display = GDK_WINDOW_XDISPLAY(gdkWindow);
  ::Window root = 0;
  ::Window parent = 0;
  ::Window* children = nullptr;
  unsigned int count = 0;
  if (XQueryTree(display, DefaultRootWindow(display), &root, &parent, &children, &count) == 0) {
    return -1;
  }
  int index = -1;
  for (unsigned int i = 0; i < count; ++i) {
    if (children[i] == GDK_WINDOW_XID(gdkWindow)) index = static_cast<int>(i);
  }
  if (children != nullptr) XFree(children);
  return index;
}

Point PointerPosition() {
  GdkDisplay* display = gdk_display_get_default();
  GdkDevice* pointer = gdk_seat_get_pointer(gdk_display_get_default_seat(display));
  int x = 0, y = 0;
  gdk_device_get_position(pointer, nullptr, &x, &y);
  return {x, y};
}

bool PointerTo(const skinui::Window& window, Point client) {
  const Point screen = window.ClientToScreen(client);
  // xdotool's --sync waits for a move that never comes when the pointer is there already.
  if (PointerPosition() == screen) return true;
  if (!Xdo({"mousemove", std::to_string(screen.x), std::to_string(screen.y)})) return false;
  const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(5);
  while (PointerPosition() != screen) {
    if (std::chrono::steady_clock::now() >= deadline) return false;
    std::this_thread::yield();
  }
  return true;
}

void GtkFixture::SetUp() {
  SKIP_WITHOUT_DESKTOP();
  loop_ = std::make_unique<gtk::GlibMessageLoop>();
  gtk::GtkBackendOptions options = BackendOptions();
  // The test program has no web module beside it: the staged one serves.
  if (options.webModule.empty()) options.webModule = AppDirectory() + "/libZelkWeb.so";
  auto backend = std::make_unique<gtk::GtkBackend>(*loop_, options);
  backend_ = backend.get();
  context_ = std::make_unique<UiContext>(*loop_, std::move(backend), AppDirectory() + "/Skin/Zelk");
  context_->SetLogSink([this](const std::string& line) { log_.push_back(line); });
}

void GtkFixture::TearDown() {
  for (auto& frame : frames_) {
    if (frame->IsWindow()) frame->Destroy();
  }
  frames_.clear();
  context_.reset();
  if (loop_) {
    loop_->waitIdle(5000);
    // What GTK still has to do for the windows that went.
    Settle(*loop_, 20);
  }
  loop_.reset();
}

TestFrame& GtkFixture::Open(const std::string& xml, std::uint32_t exStyle,
                            const std::string& className) {
  frames_.push_back(std::make_unique<TestFrame>(*context_, xml, className));
  TestFrame& frame = *frames_.back();
  EXPECT_TRUE(frame.Create(nullptr, u"GTK 测试", WS_POPUP, exStyle));
  frame.CenterWindow();
  frame.ShowWindow(true, (exStyle & WS_EX_NOACTIVATE) == 0);
  EXPECT_TRUE(PumpUntil(*loop_, [&] {
    return frame.GetPaintManager().IsWindowInitialised() &&
           gtk_widget_get_mapped(frame.Native().Toplevel()) &&
           SystemRect(frame) == frame.GetWindowRect();
  })) << "the window was not shown at its place";
  Settle(*loop_);
  return frame;
}

}  // namespace skinui_gtk_test

namespace skinui_gtk_test {

// gtest owns the environment from here on.
::testing::Environment* const kDesktop =
    ::testing::AddGlobalTestEnvironment(new DesktopEnvironment);

}  // namespace skinui_gtk_test
