// A small program of the window library on the desktop: one window with an edit, a combo box,
// buttons, the message box, the popup notice and a web view, for the end-to-end tests that
// drive it through the automation socket and real X input, and for screenshots.
//   skinui-gtk-demo [--skin <skin folder>] [--web-module <file>] [--page <url>]...
// The first page is loaded at start; "btnNextPage" loads the next one.
#include <cstdio>
#include <cstring>
#include <memory>
#include <string>
#include <vector>

#include "platform/shell_open.h"
#include "skinui/automation_server.h"
#include "skinui/builder.h"
#include "skinui/combo.h"
#include "skinui/edit.h"
#include "skinui/frame_hit_test.h"
#include "skinui/gtk/desktop_display.h"
#include "skinui/gtk/glib_message_loop.h"
#include "skinui/gtk/gtk_backend.h"
#include "skinui/lib_message_box.h"
#include "skinui/lib_popup_notify_form.h"
#include "skinui/text_utf.h"
#include "skinui/ui_context.h"
#include "skinui/web_browser.h"
#include "skinui/window.h"
#include "skinui/window_messages.h"

namespace {

using namespace skinui;

const char* kLayout =
    R"(<Window size="720,560" caption="0,0,0,36" sizebox="4,4,4,4" mininfo="480,360" roundcorner="6,6">
  <Font id="0" name="微软雅黑" size="12" default="true"/>
  <VerticalLayout name="Root" bkcolor="#FFF3F6FA" bordercolor="#FF2F6FC0" bordersize="1">
    <HorizontalLayout name="hluCaption" height="36" bkcolor="#FF2F6FC0">
      <Label name="lblCaption" text="Tamsel 窗口库演示（GTK）" textcolor="#FFFFFFFF" padding="12,0,0,0"/>
      <Button name="closebtn" width="28" height="28" padding="0,4,4,4" tooltip="关闭"
              normalimage="file='MessageBox/close.png' source='0,0,28,28'"
              hotimage="file='MessageBox/close.png' source='28,0,56,28'"/>
    </HorizontalLayout>
    <HorizontalLayout height="44" inset="12,8,12,8" childpadding="8">
      <Edit name="txtKeyword" width="200" bkcolor="#FFFFFFFF" bordercolor="#FFB4C4D8" bordersize="1" textpadding="6,0,6,0"/>
      <Combo name="cmbType" width="100">
        <ListLabelElement text="全部"/><ListLabelElement text="规范"/><ListLabelElement text="图集"/>
      </Combo>
      <Button name="btnSearch" width="72" text="搜索" textcolor="#FFFFFFFF"
              normalimage="file='MessageBox/btn_blue.png' source='0,0,72,28' corner='4,4,4,4'"/>
      <Control/>
    </HorizontalLayout>
    <HorizontalLayout height="40" inset="12,4,12,8" childpadding="8">
      <Button name="btnInfo" width="90" text="提示框" bkcolor="#FFE0E8F4" tooltip="显示一个提示框"/>
      <Button name="btnNotice" width="90" text="通知" bkcolor="#FFE0E8F4"/>
      <Button name="btnCount" width="90" text="计数" bkcolor="#FFE0E8F4"/>
      <Button name="btnNextPage" width="90" text="下一页" bkcolor="#FFE0E8F4"/>
      <Label name="lblCount" text="点击 0 次" padding="8,0,0,0"/>
    </HorizontalLayout>
    <Text name="txtAnswer" height="28" padding="12,0,12,0" text="请输入关键字"/>
    <Label name="lblWeb" height="24" padding="12,0,12,0" textcolor="#FF666666"/>
    <Label name="lblCommand" height="24" padding="12,0,12,0" textcolor="#FF666666"/>
    <Label name="lblProtocol" height="24" padding="12,0,12,0" textcolor="#FF666666"/>
    <WebBrowser name="ie_for_demo" padding="12,4,12,12"/>
  </VerticalLayout></Window>)";

class DemoFrame final : public Window, public INotifyUI, public CWebBrowserEventHandler {
 public:
  DemoFrame(UiContext& context, std::vector<std::string> pages)
      : Window(context), pages_(std::move(pages)) {}

  std::string GetWindowClassName() const override { return "UIGtkDemoFrame"; }

  std::intptr_t HandleMessage(std::uint32_t message, std::uintptr_t wParam,
                              std::intptr_t lParam) override {
    switch (message) {
      case WM_CREATE: {
        BuildOptions options;
        options.resourceDir = GetContext().ResourcePath();
        options.manager = &paintManager_;
        options.log = [this](const std::string& line) { GetContext().Log(line); };
        paintManager_.AttachDialog(Builder(options).CreateFromString(kLayout, "gtk_demo"));
        paintManager_.AddNotifier(this);
        return 0;
      }
      case WM_NCHITTEST:
        return NonClientHitTest(*this, {PointParamX(lParam), PointParamY(lParam)},
                                {"ButtonUI", "OptionUI", "TextUI", "EditUI"});
      case WM_SIZE: {
        const Size corner = paintManager_.GetRoundCorner();
        if (wParam != SIZE_MINIMIZED && GetNative() != nullptr)
          GetNative()->SetRoundCorners(corner);
        break;
      }
      case WM_CLOSE:
        return 0;
      case WM_SYSCOMMAND:
        if ((wParam & 0xFFF0) == SC_CLOSE) {
          GetContext().Loop().quit(0);
          return 0;
        }
        break;
      case kNoticeClickedMessage:
        SetText("txtAnswer", u"通知已查看");
        return 0;
      default:
        break;
    }
    return Window::HandleMessage(message, wParam, lParam);
  }

  void Notify(TNotifyUI& msg) override {
    const std::string name = msg.pSender != nullptr ? msg.pSender->GetName() : "";
    if (msg.sType == "windowinit") {
      auto& browser = paintManager_.Find<WebBrowser>("ie_for_demo");
      browser.SetWebBrowserEventHandler(this);
      browser.Navigate(pages_.empty() ? "about:blank" : pages_[0]);
    } else if (msg.sType == "click") {
      OnClick(name);
    } else if (msg.sType == "return" && name == "txtKeyword") {
      Search();
    }
  }

  void NavigateComplete(WebBrowser&, const std::string& url) override {
    SetText("lblWeb", Utf8ToUtf16("complete " + url));
  }
  void NavigateError(WebBrowser&, const std::string& url, int status) override {
    SetText("lblWeb", Utf8ToUtf16("error " + std::to_string(status) + " " + url));
  }
  void PageCommand(WebBrowser&, const std::vector<std::u16string>& args) override {
    std::u16string text = u"command";
    for (const auto& arg : args) text += u" " + arg;
    SetText("lblCommand", text);
  }
  void UrlProtocol(const std::string& url) {
    SetText("lblProtocol", Utf8ToUtf16("protocol " + url));
  }

 private:
  void OnClick(const std::string& name) {
    if (name == "closebtn") {
      GetContext().Loop().quit(0);
    } else if (name == "btnInfo") {
      ShowLibMessageBox(this, 0, 0, u"资料已下载完成，可在下载目录中查看。", 160, false);
    } else if (name == "btnNotice") {
      ShowPopupNotice(this, u"您有(2)条未读消息，请注意查收。", 30001);
    } else if (name == "btnCount") {
      SetText("lblCount", Utf8ToUtf16("点击 " + std::to_string(++clicks_) + " 次"));
    } else if (name == "btnSearch") {
      Search();
    } else if (name == "btnNextPage" && page_ + 1 < pages_.size()) {
      paintManager_.Find<WebBrowser>("ie_for_demo").Navigate(pages_[++page_]);
    }
  }

  void Search() {
    const auto& combo = paintManager_.Find<Combo>("cmbType");
    std::u16string text = u"搜索:" + paintManager_.Find<Edit>("txtKeyword").GetText();
    if (combo.GetCurSel() >= 0) text += u" 类型:" + combo.GetText();
    SetText("txtAnswer", text);
  }

  void SetText(const char* name, const std::u16string& text) {
    if (Control* control = paintManager_.FindControl(name)) control->SetText(text);
  }

  std::vector<std::string> pages_;
  std::size_t page_ = 0;
  int clicks_ = 0;
};

}  // namespace

extern "C" const char* __lsan_default_suppressions() {
  return "leak:libfontconfig.so\n";
}

int main(int argc, char** argv) {
  std::string skin = UiContext::DefaultResourcePath();
  std::vector<std::string> pages;
  gtk::GtkBackendOptions options;
  for (int i = 1; i + 1 < argc; i += 2) {
    if (std::strcmp(argv[i], "--skin") == 0) skin = argv[i + 1];
    if (std::strcmp(argv[i], "--web-module") == 0) options.webModule = argv[i + 1];
    if (std::strcmp(argv[i], "--page") == 0) pages.emplace_back(argv[i + 1]);
  }
  std::string error;
  if (!gtk::DesktopDisplay::Open(
          "skinui-gtk-demo", [] { std::fprintf(stderr, "the display is gone: the demo ends\n"); },
          error)) {
    std::fprintf(stderr, "skinui-gtk-demo: %s\n", error.c_str());
    return 2;
  }
  gtk::GlibMessageLoop loop;
  platform::ShellLauncher shell(platform::ShellLauncher::RecordOnlyFromEnvironment());
  auto backend = std::make_unique<gtk::GtkBackend>(loop, options);
  gtk::GtkBackend& gtkBackend = *backend;
  UiContext context(loop, std::move(backend), skin);
  context.SetShell(&shell);
  auto automation = AutomationServer::StartFromEnvironment(context);
  DemoFrame frame(context, pages);
  gtkBackend.Web().SetUrlProtocolHandler(
      [&frame](const std::string& url) { frame.UrlProtocol(url); });
  if (!frame.Create(nullptr, u"窗口库演示 GTK", WS_POPUP | WS_VISIBLE, 0)) {
    std::fprintf(stderr, "the demo window cannot be created\n");
    return 1;
  }
  frame.CenterWindow();
  const int code = loop.run();
  if (automation) automation->Stop();
  frame.Destroy();
  return code;
}
