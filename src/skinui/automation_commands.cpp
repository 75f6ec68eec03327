#include "skinui/automation_commands.h"

#include <json/json.h>

#include <algorithm>
#include <functional>
#include <map>
#include <memory>
#include <string_view>

#include "skinui/attribute_values.h"
#include "skinui/button.h"
#include "skinui/combo.h"
#include "skinui/container.h"
#include "skinui/edit.h"
#include "skinui/lib_message_box.h"
#include "skinui/lib_popup_notify_form.h"
#include "skinui/list.h"
#include "skinui/list_container_element.h"
#include "skinui/option.h"
#include "skinui/progress.h"
#include "skinui/tab_layout.h"
#include "skinui/text_utf.h"
#include "skinui/ui_context.h"
#include "skinui/web_browser.h"
#include "skinui/window.h"
#include "skinui/window_messages.h"

namespace skinui {

namespace {

using Handler = std::function<Json::Value(UiContext&, const Json::Value&)>;

// The requests that reach a handler of the program and answer nothing but "ok".
constexpr std::string_view kActsAsTheUser[] = {"click", "set_text",   "key",         "select",
                                               "check", "fire_timer", "page_command"};

std::string RequireString(const Json::Value& request, const char* key) {
  const Json::Value& value = request[key];
  if (!value.isString()) throw AutomationError(std::string("'") + key + "' must be a text");
  return value.asString();
}

int RequireInt(const Json::Value& request, const char* key) {
  const Json::Value& value = request[key];
  if (!value.isInt()) throw AutomationError(std::string("'") + key + "' must be a whole number");
  return value.asInt();
}

Window& FindWindow(UiContext& context, const Json::Value& request) {
  const std::string name = RequireString(request, "window");
  Window* window = context.FindWindowByClass(name);
  if (window == nullptr) throw AutomationError("no window '" + name + "'");
  return *window;
}

Control& FindControl(Window& window, const Json::Value& request) {
  const std::string name = RequireString(request, "name");
  window.GetPaintManager().UpdateLayout();
  Control* control = window.GetPaintManager().FindControl(name);
  if (control == nullptr) {
    throw AutomationError("window '" + window.GetWindowClassName() + "' has no control '" + name +
                          "'");
  }
  return *control;
}

void RequireUsable(Control& control) {
  if (!control.IsShown()) throw AutomationError("control '" + control.GetName() + "' is not shown");
  if (!control.IsEnabled()) {
    throw AutomationError("control '" + control.GetName() + "' is not enabled");
  }
}

Json::Value Ok() {
  Json::Value value(Json::objectValue);
  value["ok"] = true;
  return value;
}

Json::Value RectJson(const Rect& r) {
  Json::Value value(Json::arrayValue);
  value.append(r.left);
  value.append(r.top);
  value.append(r.right);
  value.append(r.bottom);
  return value;
}

int ValueOf(Control& control) {
  if (auto* progress = dynamic_cast<Progress*>(&control)) return progress->GetValue();
  if (auto* tab = dynamic_cast<TabLayout*>(&control)) return tab->GetCurSel();
  if (auto* owner = dynamic_cast<ListOwner*>(&control)) return owner->GetCurSel();
  return -1;
}

bool SelectedOf(Control& control) {
  if (auto* option = dynamic_cast<Option*>(&control)) return option->IsSelected();
  if (auto* row = dynamic_cast<ListContainerElement*>(&control)) return row->IsSelected();
  return false;
}

std::string NormalImageOf(Control& control) {
  if (auto* button = dynamic_cast<Button*>(&control)) return button->GetNormalImage();
  if (auto* edit = dynamic_cast<Edit*>(&control)) return edit->GetNormalImage();
  if (auto* combo = dynamic_cast<Combo*>(&control)) return combo->GetNormalImage();
  return "";
}

Json::Value WindowJson(Window& window) {
  Json::Value value;
  value["class"] = window.GetWindowClassName();
  value["caption"] = Utf16ToUtf8(window.GetCaption());
  value["visible"] = window.IsVisible();
  value["active"] = window.IsActive();
  value["rect"] = RectJson(window.GetWindowRect());
  return value;
}

Json::Value Windows(UiContext& context, const Json::Value&) {
  Json::Value answer = Ok();
  answer["windows"] = Json::Value(Json::arrayValue);
  for (Window* window : context.Windows()) {
    if (window->IsWindow()) answer["windows"].append(WindowJson(*window));
  }
  return answer;
}

Json::Value ControlCommand(UiContext& context, const Json::Value& request) {
  Window& window = FindWindow(context, request);
  Json::Value answer = Ok();
  answer["control"] = DescribeControl(FindControl(window, request), false);
  return answer;
}

Json::Value Tree(UiContext& context, const Json::Value& request) {
  Window& window = FindWindow(context, request);
  window.GetPaintManager().UpdateLayout();
  Control* root =
      request.isMember("name") ? &FindControl(window, request) : window.GetPaintManager().GetRoot();
  if (root == nullptr)
    throw AutomationError("window '" + window.GetWindowClassName() + "' is empty");
  Json::Value answer = Ok();
  answer["tree"] = DescribeControl(*root, true);
  return answer;
}

Json::Value Items(UiContext& context, const Json::Value& request) {
  Window& window = FindWindow(context, request);
  auto* container = dynamic_cast<Container*>(&FindControl(window, request));
  if (container == nullptr)
    throw AutomationError("control '" + request["name"].asString() + "' holds no items");
  Json::Value answer = Ok();
  answer["items"] = Json::Value(Json::arrayValue);
  for (int i = 0; i < container->GetCount(); ++i) {
    answer["items"].append(DescribeControl(*container->GetItemAt(i), true));
  }
  return answer;
}

void ClickAt(Window& window, Point pt) {
  // As the window manager does, a click activates the window, unless it never takes activation
  // (pop-ups that close when another window is activated rely on this).
  if ((window.GetExStyle() & WS_EX_NOACTIVATE) == 0 && !window.IsActive()) {
    window.GetContext().SetActiveWindow(&window);
  }
  window.SendMessage(WM_MOUSEMOVE, 0, MakePointParam(pt.x, pt.y));
  window.SendMessage(WM_LBUTTONDOWN, 0, MakePointParam(pt.x, pt.y));
  window.SendMessage(WM_LBUTTONUP, 0, MakePointParam(pt.x, pt.y));
}

Json::Value Click(UiContext& context, const Json::Value& request) {
  Window& window = FindWindow(context, request);
  Control& control = FindControl(window, request);
  RequireUsable(control);
  Point pt = control.GetPos().Center();
  if (request.isMember("x") || request.isMember("y"))
    pt = {RequireInt(request, "x"), RequireInt(request, "y")};
  ClickAt(window, pt);
  return Ok();
}

Json::Value SetText(UiContext& context, const Json::Value& request) {
  Window& window = FindWindow(context, request);
  auto* edit = dynamic_cast<Edit*>(&FindControl(window, request));
  if (edit == nullptr)
    throw AutomationError("control '" + request["name"].asString() + "' is not an edit");
  RequireUsable(*edit);
  const std::u16string text = Utf8ToUtf16(RequireString(request, "text"));
  window.GetPaintManager().SetFocus(edit);
  if (!edit->TypeText(text)) throw AutomationError("edit '" + edit->GetName() + "' is read-only");
  return Ok();
}

Json::Value Key(UiContext& context, const Json::Value& request) {
  Window& window = FindWindow(context, request);
  static const std::map<std::string, std::uintptr_t> keys = {
      {"return", VK_RETURN}, {"escape", VK_ESCAPE}, {"tab", VK_TAB}};
  const auto key = keys.find(RequireString(request, "key"));
  if (key == keys.end()) throw AutomationError("key must be return, escape or tab");
  if (request.isMember("name")) {
    Control& control = FindControl(window, request);
    RequireUsable(control);
    window.GetPaintManager().SetFocus(&control);
  }
  window.SendMessage(WM_KEYDOWN, key->second);
  return Ok();
}

Json::Value Select(UiContext& context, const Json::Value& request) {
  Window& window = FindWindow(context, request);
  Control& control = FindControl(window, request);
  RequireUsable(control);
  const int index = RequireInt(request, "index");
  bool done = false;
  if (auto* tab = dynamic_cast<TabLayout*>(&control)) {
    done = tab->SelectItem(index);
  } else if (auto* owner = dynamic_cast<ListOwner*>(&control)) {
    done = index >= 0 && owner->SelectItem(index);
  } else {
    throw AutomationError("control '" + control.GetName() + "' has nothing to select");
  }
  if (!done) throw AutomationError("index " + std::to_string(index) + " is out of range");
  return Ok();
}

Json::Value Check(UiContext& context, const Json::Value& request) {
  Window& window = FindWindow(context, request);
  auto* option = dynamic_cast<Option*>(&FindControl(window, request));
  if (option == nullptr)
    throw AutomationError("control '" + request["name"].asString() + "' is not an option");
  RequireUsable(*option);
  if (!request["selected"].isBool()) throw AutomationError("'selected' must be true or false");
  option->Selected(request["selected"].asBool());
  return Ok();
}

Json::Value Resize(UiContext& context, const Json::Value& request) {
  Window& window = FindWindow(context, request);
  MinMaxInfo info;
  window.SendMessage(WM_GETMINMAXINFO, 0, reinterpret_cast<std::intptr_t>(&info));
  const int width = std::max(RequireInt(request, "width"), std::max(info.minTrackWidth, 1));
  const int height = std::max(RequireInt(request, "height"), std::max(info.minTrackHeight, 1));
  window.ResizeClient(width, height);
  window.SendMessage(WM_EXITSIZEMOVE);
  window.GetPaintManager().UpdateLayout();
  Json::Value answer = Ok();
  answer["rect"] = RectJson(window.GetWindowRect());
  return answer;
}

Json::Value MessageBoxState(UiContext& context, const Json::Value&) {
  Json::Value answer = Ok();
  Json::Value box;
  auto* messageBox =
      dynamic_cast<CLibMessageBox*>(context.SharedWindow(CLibMessageBox::kSharedKey));
  box["shown"] = messageBox != nullptr && messageBox->IsVisible();
  box["buttons"] = Json::Value(Json::arrayValue);
  if (messageBox != nullptr) {
    PaintManager& pm = messageBox->GetPaintManager();
    const Control* title = pm.FindControl("txtTitle");
    box["title"] = title != nullptr ? Utf16ToUtf8(title->GetText()) : "";
    box["text"] = Utf16ToUtf8(messageBox->GetMessageText());
    box["icon"] = messageBox->GetIconKind();
    box["result"] = messageBox->GetResult();
    for (const char* name : {"btnOK", "btnCancel"}) {
      const Control* button = pm.FindControl(name);
      if (button != nullptr && button->IsVisible())
        box["buttons"].append(Utf16ToUtf8(button->GetText()));
    }
  }
  answer["message_box"] = box;
  Json::Value notice;
  auto* form =
      dynamic_cast<CLibPopupNotifyForm*>(context.SharedWindow(CLibPopupNotifyForm::kSharedKey));
  notice["shown"] = form != nullptr && form->IsVisible();
  notice["text"] = form != nullptr ? Utf16ToUtf8(form->GetNoticeText()) : "";
  answer["notice"] = notice;
  return answer;
}

Json::Value AnswerMessageBox(UiContext& context, const Json::Value& request) {
  auto* messageBox =
      dynamic_cast<CLibMessageBox*>(context.SharedWindow(CLibMessageBox::kSharedKey));
  if (messageBox == nullptr || !messageBox->IsVisible())
    throw AutomationError("no message box is shown");
  static const std::map<std::string, std::string> buttons = {
      {"ok", "btnOK"}, {"cancel", "btnCancel"}, {"close", "closebtn"}};
  const auto button = buttons.find(RequireString(request, "button"));
  if (button == buttons.end()) throw AutomationError("button must be ok, cancel or close");
  PaintManager& pm = messageBox->GetPaintManager();
  pm.UpdateLayout();
  Control* control = pm.FindControl(button->second);
  if (control == nullptr) throw AutomationError("the message box has no '" + button->second + "'");
  RequireUsable(*control);
  ClickAt(*messageBox, control->GetPos().Center());
  return Ok();
}

Json::Value Timers(UiContext& context, const Json::Value& request) {
  Window& window = FindWindow(context, request);
  Json::Value answer = Ok();
  answer["timers"] = Json::Value(Json::arrayValue);
  for (const auto& timer : context.Loop().timers(window.GetHWND())) {
    Json::Value t;
    t["id"] = timer.id;
    t["period_ms"] = static_cast<Json::Int64>(timer.periodMs);
    t["due_ms"] = static_cast<Json::Int64>(timer.dueMs);
    answer["timers"].append(t);
  }
  return answer;
}

Json::Value FireTimer(UiContext& context, const Json::Value& request) {
  Window& window = FindWindow(context, request);
  const int id = RequireInt(request, "id");
  if (id < 0 || !context.Loop().fireTimer(window.GetHWND(), static_cast<std::uint32_t>(id))) {
    throw AutomationError("window '" + window.GetWindowClassName() + "' has no timer " +
                          std::to_string(id));
  }
  return Ok();
}

WebBrowser& FindBrowser(UiContext& context, const Json::Value& request) {
  Window& window = FindWindow(context, request);
  auto* browser = dynamic_cast<WebBrowser*>(&FindControl(window, request));
  if (browser == nullptr)
    throw AutomationError("control '" + request["name"].asString() + "' is not a web browser");
  return *browser;
}

Json::Value Browser(UiContext& context, const Json::Value& request) {
  WebBrowser& browser = FindBrowser(context, request);
  Json::Value answer = Ok();
  answer["url"] = browser.GetUrl();
  answer["loading"] = browser.IsLoading();
  answer["status"] = browser.GetLastErrorStatus();
  answer["host_flags"] = browser.GetHostInfoFlags();
  return answer;
}

Json::Value PageCommand(UiContext& context, const Json::Value& request) {
  WebBrowser& browser = FindBrowser(context, request);
  const Json::Value& args = request["args"];
  if (!args.isArray()) throw AutomationError("'args' must be a list of texts");
  std::vector<std::u16string> texts;
  for (const auto& arg : args) {
    if (!arg.isString()) throw AutomationError("'args' must be a list of texts");
    texts.push_back(Utf8ToUtf16(arg.asString()));
  }
  browser.OnPageCommand(texts);
  return Ok();
}

Json::Value Opened(UiContext& context, const Json::Value&) {
  Json::Value answer = Ok();
  answer["opened"] = Json::Value(Json::arrayValue);
  if (context.Shell() == nullptr) return answer;
  for (const auto& request : context.Shell()->requests()) {
    Json::Value r;
    r["verb"] = request.verb;
    r["target"] = request.target;
    r["parameters"] = request.parameters;
    r["directory"] = request.directory;
    answer["opened"].append(r);
  }
  return answer;
}

Json::Value WaitIdle(UiContext& context, const Json::Value& request) {
  const int timeout = request.isMember("timeout_ms") ? RequireInt(request, "timeout_ms") : 5000;
  Json::Value answer = Ok();
  answer["idle"] = context.Loop().waitIdle(std::max(timeout, 0));
  return answer;
}

Json::Value Screenshot(UiContext& context, const Json::Value& request) {
  Window& window = FindWindow(context, request);
  const std::string path = RequireString(request, "path");
  if (!window.Screenshot(path)) throw AutomationError("cannot write a screenshot to " + path);
  Json::Value answer = Ok();
  answer["width"] = window.GetClientRect().Width();
  answer["height"] = window.GetClientRect().Height();
  return answer;
}

Json::Value Quit(UiContext& context, const Json::Value& request) {
  Window* target = nullptr;
  if (request.isMember("window")) {
    target = &FindWindow(context, request);
  } else {
    for (Window* window : context.Windows()) {
      if (window->IsWindow()) {
        target = window;
        break;
      }
    }
  }
  // After this answer has gone: the system close command may end the program.
  if (target != nullptr) {
    target->PostMessage(WM_SYSCOMMAND, SC_CLOSE);
  } else {
    context.Loop().quit(0);
  }
  return Ok();
}

const std::map<std::string, Handler>& Handlers() {
  static const std::map<std::string, Handler> handlers = {
      {"ping", [](UiContext&, const Json::Value&) { return Ok(); }},
      {"windows", Windows},
      {"control", ControlCommand},
      {"tree", Tree},
      {"items", Items},
      {"click", Click},
      {"set_text", SetText},
      {"key", Key},
      {"select", Select},
      {"check", Check},
      {"resize", Resize},
      {"message_box", MessageBoxState},
      {"answer_message_box", AnswerMessageBox},
      {"timers", Timers},
      {"fire_timer", FireTimer},
      {"browser", Browser},
      {"page_command", PageCommand},
      {"opened", Opened},
      {"wait_idle", WaitIdle},
      {"screenshot", Screenshot},
      {"quit", Quit},
  };
  return handlers;
}

}  // namespace

Json::Value DescribeControl(Control& control, bool deep) {
  Json::Value value;
  value["class"] = std::string(control.GetClass());
  value["name"] = control.GetName();
  value["text"] = Utf16ToUtf8(control.GetText());
  value["tooltip"] = Utf16ToUtf8(control.GetToolTip());
  value["visible"] = control.IsVisible();
  value["shown"] = control.IsShown();
  value["enabled"] = control.IsEnabled();
  value["selected"] = SelectedOf(control);
  value["value"] = ValueOf(control);
  auto* container = dynamic_cast<Container*>(&control);
  value["count"] = container != nullptr ? container->GetCount() : 0;
  value["rect"] = RectJson(control.GetPos());
  value["bkimage"] = control.GetBkImage();
  value["bkcolor"] = FormatColor(control.GetBkColor());
  value["normalimage"] = NormalImageOf(control);
  value["focused"] = control.IsFocused();
  if (deep && container != nullptr) {
    value["children"] = Json::Value(Json::arrayValue);
    for (int i = 0; i < container->GetCount(); ++i) {
      value["children"].append(DescribeControl(*container->GetItemAt(i), true));
    }
  }
  return value;
}

Json::Value RunAutomationCommand(UiContext& context, const Json::Value& request) {
  if (!request.isObject() || !request["cmd"].isString())
    throw AutomationError("request has no 'cmd'");
  const std::string cmd = request["cmd"].asString();
  const auto handler = Handlers().find(cmd);
  if (handler == Handlers().end()) throw AutomationError("unknown command '" + cmd + "'");
  return handler->second(context, request);
}

bool AnswersWhenAWaitBegins(const Json::Value& request) {
  if (!request.isObject() || !request["cmd"].isString()) return false;
  const std::string cmd = request["cmd"].asString();
  return std::find(std::begin(kActsAsTheUser), std::end(kActsAsTheUser), cmd) !=
         std::end(kActsAsTheUser);
}

std::string WriteJsonLine(const Json::Value& value) {
  Json::StreamWriterBuilder builder;
  builder["indentation"] = "";
  builder["emitUTF8"] = true;
  std::string line = Json::writeString(builder, value);
  // Text values never hold a raw newline (the writer escapes them); the line ends here.
  line += '\n';
  return line;
}

}  // namespace skinui
