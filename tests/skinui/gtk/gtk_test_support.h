#pragma once

#include <gtest/gtest.h>
#include <gtk/gtk.h>

#include <chrono>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "skinui/builder.h"
#include "skinui/gtk/glib_message_loop.h"
#include "skinui/gtk/gtk_backend.h"
#include "skinui/gtk/gtk_native_window.h"
#include "skinui/notify.h"
#include "skinui/text_utf.h"
#include "skinui/ui_context.h"
#include "skinui/web_browser.h"
#include "skinui/window.h"
#include "skinui/window_messages.h"
#include "support/temp_dir.h"
#include "test_process.h"
#include "virtual_display.h"

namespace skinui_gtk_test {

// The virtual display of the in-process tests, opened once for the whole program (GTK opens
// its display once per process). Tests skip when Xvfb is not installed.
class DesktopEnvironment : public ::testing::Environment {
 public:
  void SetUp() override;
  static bool Available() { return available_; }
  static const std::string& Display() { return display_.name(); }

 private:
  static inline VirtualDisplay display_;
  static inline bool available_ = false;
  static inline std::unique_ptr<testing_support::TempDir> home_;
};

#define SKIP_WITHOUT_DESKTOP()                                                      \
  do {                                                                              \
    if (!::skinui_gtk_test::DesktopEnvironment::Available()) {                      \
      GTEST_SKIP() << "Xvfb is not installed: no virtual display for real windows"; \
    }                                                                               \
  } while (0)

// One event as a test window saw it.
struct Seen {
  std::string what;    // notification type, or "msg:<number>"
  std::string sender;  // control name
  std::uintptr_t wParam = 0;
};

// A window built from a layout text that records its notifications, some of its messages and
// its web browser's events.
class TestFrame : public skinui::Window,
                  public skinui::INotifyUI,
                  public skinui::CWebBrowserEventHandler {
 public:
  TestFrame(skinui::UiContext& context, std::string xml, std::string className = "UIGtkTestFrame")
      : Window(context), xml_(std::move(xml)), className_(std::move(className)) {}

  std::string GetWindowClassName() const override { return className_; }
  std::uint32_t GetClassStyle() const override { return 0x8; }

  std::intptr_t HandleMessage(std::uint32_t message, std::uintptr_t wParam,
                              std::intptr_t lParam) override;
  void Notify(skinui::TNotifyUI& msg) override;

  void NavigateComplete(skinui::WebBrowser& browser, const std::string& url) override;
  void NavigateError(skinui::WebBrowser& browser, const std::string& url, int status) override;
  void PageCommand(skinui::WebBrowser& browser, const std::vector<std::u16string>& args) override;
  std::uint32_t GetHostInfoFlags(skinui::WebBrowser&) override { return hostFlags; }

  bool Saw(const std::string& what, const std::string& sender = "") const;
  int Count(const std::string& what, const std::string& sender = "") const;
  skinui::gtk::GtkNativeWindow& Native() const {
    return *dynamic_cast<skinui::gtk::GtkNativeWindow*>(GetNative());
  }

  std::vector<Seen> seen;
  std::vector<std::string> navigations;  // "complete <url>" / "error <status> <url>"
  std::vector<std::vector<std::u16string>> commands;
  std::uint32_t hostFlags = 0;
  bool closeQuits = false;

 private:
  std::string xml_;
  std::string className_;
};

// The staged application folder (ZELK_APP_DIR, else the build's).
std::string AppDirectory();

// Runs the loop until `condition` holds or `timeoutMs` of real time have passed (the X server,
// xdotool and WebKit are other processes).
bool PumpUntil(skinui::gtk::GlibMessageLoop& loop, const std::function<bool()>& condition,
               int timeoutMs = 10000);
// Lets the X server and GTK settle: runs the loop for a short while.
void Settle(skinui::gtk::GlibMessageLoop& loop, int ms = 100);

// The window's place on the X screen as GDK sees it.
skinui::Rect SystemRect(const skinui::Window& window);
// The colour (0xRRGGBB) of one pixel of the screen.
std::uint32_t ScreenPixel(int x, int y);
// Where the window stands among the screen's top-level windows, bottom first (-1: not there).
int StackingIndex(const skinui::Window& window);
// Moves the pointer to a client point of the window (through the X server).
bool PointerTo(const skinui::Window& window, skinui::Point client);

// A loop, a context with the GTK backend and the skin of the build.
class GtkFixture : public ::testing::Test {
 protected:
  void SetUp() override;
  void TearDown() override;
  virtual skinui::gtk::GtkBackendOptions BackendOptions() { return {}; }
  // Creates, centres and shows a frame from a layout and waits until it is painted.
  TestFrame& Open(const std::string& xml, std::uint32_t exStyle = 0,
                  const std::string& className = "UIGtkTestFrame");

  std::unique_ptr<skinui::gtk::GlibMessageLoop> loop_;
  skinui::gtk::GtkBackend* backend_ = nullptr;
  std::unique_ptr<skinui::UiContext> context_;
  std::vector<std::unique_ptr<TestFrame>> frames_;
  std::vector<std::string> log_;
};

}  // namespace skinui_gtk_test
