// A small program of the window library's own: one window with the library's controls, the
// message box and the popup notice, driven headless through the automation socket by the
// end-to-end tests.
//   skinui-demo [--skin <skin folder>]
#include <cstdio>
#include <cstring>
#include <memory>
#include <string>

#include "platform/headless_message_loop.h"
#include "platform/shell_open.h"
#include "skinui/automation_server.h"
#include "skinui/builder.h"
#include "skinui/combo.h"
#include "skinui/edit.h"
#include "skinui/headless_backend.h"
#include "skinui/label.h"
#include "skinui/lib_message_box.h"
#include "skinui/lib_object_view.h"
#include "skinui/lib_popup_notify_form.h"
#include "skinui/list.h"
#include "skinui/list_container_element.h"
#include "skinui/progress.h"
#include "skinui/tab_layout.h"
#include "skinui/text_utf.h"
#include "skinui/ui_context.h"
#include "skinui/window.h"
#include "skinui/window_messages.h"

namespace {

// The demo's pager: the same controls as the knowledge results' pager of the client.
const skinui::PagerNames kPagerNames{
    "ouKnowlege_Prev",
    "ouKnowlege_Next",
    "ouKnowlege_PageIndex_",
    "hluKnowlegePageIndexFillArea",
    {"txtKnowlegeSearchResultKeyword", "btnKnowlegeSearchResultSearch",
     "btnKnowlegeSearchResultGoBack"}};

const char* kLayout =
    R"(<Window size="640,480" caption="0,0,0,36" sizebox="4,4,4,4" mininfo="400,300">
  <Font id="0" name="微软雅黑" size="12" default="true"/>
  <VerticalLayout name="Root" bkcolor="#FFF3F6FA">
    <HorizontalLayout name="hluCaption" height="36" bkcolor="#FF2F6FC0">
      <Label name="lblCaption" text="Tamsel 窗口库演示" textcolor="#FFFFFFFF" padding="12,0,0,0"/>
      <Button name="closebtn" width="28" height="28" padding="0,4,4,4"
              normalimage="file='MessageBox/close.png' source='0,0,28,28'"
              hotimage="file='MessageBox/close.png' source='28,0,56,28'"/>
    </HorizontalLayout>
    <HorizontalLayout height="40" inset="12,6,12,6" childpadding="8">
      <Combo name="cmbType" width="100">
        <ListLabelElement text="全部"/><ListLabelElement text="规范"/><ListLabelElement text="图集"/>
      </Combo>
      <Edit name="txtKeyword" bkcolor="#FFFFFFFF" bordercolor="#FFB4C4D8" bordersize="1" textpadding="4,0,4,0"/>
      <Button name="btnSearch" width="72" text="搜索" textcolor="#FFFFFFFF"
              normalimage="file='MessageBox/btn_blue.png' source='0,0,72,28' corner='4,4,4,4'"/>
    </HorizontalLayout>
    <HorizontalLayout height="32" inset="12,2,12,2" childpadding="6">
      <Option name="opPage0" width="80" text="首页" group="pages" selected="true" selectedbkcolor="#FFD5E3F5"/>
      <Option name="opPage1" width="80" text="列表" group="pages" selectedbkcolor="#FFD5E3F5"/>
      <Option name="opPage2" width="80" text="进度" group="pages" selectedbkcolor="#FFD5E3F5"/>
      <Control/>
      <Option name="opRemember" width="90" text="记住我"/>
    </HorizontalLayout>
    <TabLayout name="tluPages" inset="12,8,12,8">
      <VerticalLayout name="vluHome" childpadding="8">
        <Text name="txtAnswer" height="60" text="&lt;c #FF0000&gt;欢迎&lt;/c&gt;使用"/>
        <HorizontalLayout height="30" childpadding="8">
          <Button name="btnAsk" width="90" text="询问" bkcolor="#FFE0E8F4"/>
          <Button name="btnInfo" width="90" text="提示" bkcolor="#FFE0E8F4"/>
          <Button name="btnNotice" width="90" text="通知" bkcolor="#FFE0E8F4"/>
          <Button name="btnOpen" width="90" text="打开网页" bkcolor="#FFE0E8F4"/>
        </HorizontalLayout>
      </VerticalLayout>
      <VerticalLayout name="vluList">
        <List name="lstResult" vscrollbar="true" itemselectedbkcolor="#FFD5E3F5"/>
        <HorizontalLayout height="24">
          <Control name="hluKnowlegePageIndexFillArea"/>
          <Option name="ouKnowlege_Prev"/>
          <Option name="ouKnowlege_PageIndex_1"/><Option name="ouKnowlege_PageIndex_2"/>
          <Option name="ouKnowlege_PageIndex_3"/><Option name="ouKnowlege_PageIndex_4"/>
          <Option name="ouKnowlege_PageIndex_5"/><Option name="ouKnowlege_PageIndex_6"/>
          <Option name="ouKnowlege_PageIndex_7"/><Option name="ouKnowlege_PageIndex_8"/>
          <Option name="ouKnowlege_PageIndex_9"/><Option name="ouKnowlege_PageIndex_10"/>
          <Option name="ouKnowlege_Next"/><Control/>
        </HorizontalLayout>
      </VerticalLayout>
      <VerticalLayout name="vluProgress" childpadding="8">
        <Progress name="pgDownloadProgress" height="12" value="30" bkcolor="#FFDDDDDD"/>
        <Button name="btnStep" height="30" width="90" text="前进" bkcolor="#FFE0E8F4"/>
      </VerticalLayout>
    </TabLayout>
  </VerticalLayout></Window>)";

class DemoFrame final : public skinui::Window, public skinui::INotifyUI {
 public:
  explicit DemoFrame(skinui::UiContext& context) : Window(context), pager_(this, kPagerNames) {}

  std::string GetWindowClassName() const override { return "UISkinUIDemoFrame"; }

  std::intptr_t HandleMessage(std::uint32_t message, std::uintptr_t wParam,
                              std::intptr_t lParam) override {
    using namespace skinui;
    switch (message) {
      case WM_CREATE: {
        BuildOptions options;
        options.resourceDir = GetContext().ResourcePath();
        options.manager = &paintManager_;
        options.log = [this](const std::string& line) { GetContext().Log(line); };
        paintManager_.AttachDialog(Builder(options).CreateFromString(kLayout, "demo"));
        paintManager_.AddNotifier(this);
        return 0;
      }
      case WM_CLOSE:
        return 0;  // closing goes through the close button or the system close command
      case WM_SYSCOMMAND:
        if ((wParam & 0xFFF0) == SC_CLOSE) {
          GetContext().Loop().quit(0);
          return 0;
        }
        break;
      case kNoticeClickedMessage:
        SetAnswer(u"通知已查看");
        return 0;
      default:
        break;
    }
    return Window::HandleMessage(message, wParam, lParam);
  }

  void Notify(skinui::TNotifyUI& msg) override {
    using namespace skinui;
    const std::string name = msg.pSender != nullptr ? msg.pSender->GetName() : "";
    if (msg.sType == "windowinit") {
      FillList();
      pager_.RefreshPageIndexButtons(1, 3);
    } else if (msg.sType == "click") {
      OnClick(name);
    } else if (msg.sType == "return" && name == "txtKeyword") {
      Search();
    } else if (msg.sType == "selectchanged" && name.starts_with("opPage")) {
      paintManager_.Find<TabLayout>("tluPages").SelectItem(name.back() - '0');
    }
  }

 private:
  void OnClick(const std::string& name) {
    using namespace skinui;
    if (name == "closebtn") {
      if (ShowLibMessageBox(this, 3, 3, u"确定要关闭演示？", 160, false) == 1) {
        GetContext().Loop().quit(0);
      }
    } else if (name == "btnAsk") {
      const int result = ShowLibMessageBox(this, 3, 3, u"要继续吗？", 160, false);
      SetAnswer(result == 1 ? u"选择了确定" : u"选择了取消");
    } else if (name == "btnInfo") {
      ShowLibMessageBox(this, 0, 0, u"这是一条提示", 160, false);
    } else if (name == "btnNotice") {
      ShowPopupNotice(this, u"您有(2)条未读消息，请注意查收。", 30001);
    } else if (name == "btnOpen") {
      if (GetContext().Shell() != nullptr) {
        GetContext().Shell()->open({"open", "https://example.invalid/help/help_3.htm#0", "", ""});
      }
    } else if (name == "btnSearch") {
      Search();
    } else if (name == "btnStep") {
      auto& progress = paintManager_.Find<Progress>("pgDownloadProgress");
      progress.SetValue(progress.GetValue() + 10);
    } else if (name.starts_with("ouKnowlege_PageIndex_")) {
      pager_.RefreshPageIndexButtons(std::stoi(name.substr(21)), 3);
    }
  }

  void Search() {
    using namespace skinui;
    const auto& combo = paintManager_.Find<Combo>("cmbType");
    std::u16string text = u"搜索:" + paintManager_.Find<Edit>("txtKeyword").GetText();
    if (combo.GetCurSel() >= 0) text += u" 类型:" + combo.GetText();
    SetAnswer(text);
  }

  void SetAnswer(const std::u16string& text) {
    paintManager_.FindControl("txtAnswer")->SetText(text);
  }

  void FillList() {
    using namespace skinui;
    auto& list = paintManager_.Find<List>("lstResult");
    for (int i = 0; i < 12; ++i) {
      auto row = std::make_unique<ListContainerElement>();
      row->SetName("row" + std::to_string(i));
      row->SetFixedHeight(40);
      auto label = std::make_unique<Label>();
      label->SetText(Utf8ToUtf16(std::to_string(i + 1) + ". 混凝土结构设计规范"));
      row->Add(std::move(label));
      list.Add(std::move(row));
    }
  }

  skinui::NamedPagerView pager_;
};

}  // namespace

// Sanitizer builds: fontconfig keeps its caches until the process ends, and Pango's font
// matching thread hands over through GLib primitives the thread checker cannot see. Neither is
// a fault of the demo, whose end-to-end test checks the exit status.
extern "C" const char* __lsan_default_suppressions() {
  return "leak:libfontconfig.so\n";
}
extern "C" const char* __tsan_default_suppressions() {
  return "race:libfontconfig.so\nrace:libglib-2.0.so\nrace:libcairo.so\nrace:libpango\n";
}

int main(int argc, char** argv) {
  std::string skin = skinui::UiContext::DefaultResourcePath();
  for (int i = 1; i + 1 < argc; ++i) {
    if (std::strcmp(argv[i], "--skin") == 0) skin = argv[i + 1];
  }
  platform::HeadlessMessageLoop loop;
  platform::ShellLauncher shell(platform::ShellLauncher::RecordOnlyFromEnvironment());
  skinui::UiContext context(loop, std::make_unique<skinui::HeadlessBackend>(loop), skin);
  context.SetShell(&shell);
  auto automation = skinui::AutomationServer::StartFromEnvironment(context);
  DemoFrame frame(context);
  if (!frame.Create(nullptr, u"窗口库演示", skinui::WS_POPUP | skinui::WS_VISIBLE, 0)) {
    std::fprintf(stderr, "the demo window cannot be created\n");
    return 1;
  }
  frame.CenterWindow();
  const int code = loop.run();
  if (automation) automation->Stop();
  frame.Destroy();
  return code;
}
