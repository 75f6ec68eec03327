// Start-up time and memory of a desktop window of the window library (GTK backend), with and
// without a web view. Run on a display (a virtual one does):
//   xvfb-run -a -s "-screen 0 1280x960x24 -nolisten tcp" build/bench/gtk_startup_bench [runs]
// The program starts itself again as the measured child for each run and prints, per case:
// the time from exec to the first painted frame (and to the page loaded), the resident memory
// (RSS) and proportional set size (PSS) of the window process and of the web processes it
// started.
#include <fcntl.h>
#include <poll.h>
#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <dirent.h>
#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <fstream>
#include <map>
#include <memory>
#include <sstream>
#include <string>
#include <thread>
#include <vector>

#include "platform/paths.h"
#include "process_probe.h"
#include "skinui/builder.h"
#include "skinui/gtk/desktop_display.h"
#include "skinui/gtk/glib_message_loop.h"
#include "skinui/gtk/gtk_backend.h"
#include "skinui/ui_context.h"
#include "skinui/web_browser.h"
#include "skinui/window.h"
#include "skinui/window_messages.h"

namespace {

using bench::Descendants;
using bench::Median;
using bench::Memory;
using bench::MemoryOf;
using bench::ReadLine;

using Steady = std::chrono::steady_clock;

// --- The measured child --------------------------------------------------------------------

const char* kPlainLayout = R"(<Window size="1200,900" caption="0,0,0,40">
  <VerticalLayout name="Root" bkcolor="#FFF3F6FA">
    <HorizontalLayout height="40" bkcolor="#FF2F6FC0">
      <Label text="Tamsel 3.1" textcolor="#FFFFFFFF" padding="12,0,0,0"/>
    </HorizontalLayout>
    <HorizontalLayout height="44" inset="12,8,12,8" childpadding="8">
      <Edit name="txtKeyword" width="240" bkcolor="#FFFFFFFF" bordersize="1" bordercolor="#FFB4C4D8"/>
      <Button name="btnSearch" width="80" text="搜索" bkcolor="#FF2F6FC0" textcolor="#FFFFFFFF"/>
    </HorizontalLayout>
    <Text text="资料库 · 应用中心 · 问答社区 · 视频教程" padding="12,0,0,0" height="30"/>
    <Control/>
  </VerticalLayout>
</Window>)";

const char* kWebLayout = R"(<Window size="1200,900" caption="0,0,0,40">
  <VerticalLayout name="Root" bkcolor="#FFF3F6FA">
    <HorizontalLayout height="40" bkcolor="#FF2F6FC0">
      <Label text="Tamsel 3.1" textcolor="#FFFFFFFF" padding="12,0,0,0"/>
    </HorizontalLayout>
    <WebBrowser name="ie_for_bench" padding="12,12,12,12"/>
  </VerticalLayout>
</Window>)";

class BenchFrame final : public skinui::Window,
                         public skinui::INotifyUI,
                         public skinui::CWebBrowserEventHandler {
 public:
  BenchFrame(skinui::UiContext& context, std::string page)
      : Window(context), page_(std::move(page)) {}
  std::string GetWindowClassName() const override { return "UIBenchFrame"; }

  std::intptr_t HandleMessage(std::uint32_t message, std::uintptr_t wParam,
                              std::intptr_t lParam) override {
    if (message == skinui::WM_CREATE) {
      skinui::BuildOptions options;
      options.resourceDir = GetContext().ResourcePath();
      options.manager = &paintManager_;
      paintManager_.AttachDialog(skinui::Builder(options).CreateFromString(
          page_.empty() ? kPlainLayout : kWebLayout, "bench"));
      paintManager_.AddNotifier(this);
      return 0;
    }
    return Window::HandleMessage(message, wParam, lParam);
  }

  void Notify(skinui::TNotifyUI& msg) override {
    if (msg.sType != "windowinit" || page_.empty()) return;
    auto& browser = paintManager_.Find<skinui::WebBrowser>("ie_for_bench");
    browser.SetWebBrowserEventHandler(this);
    browser.Navigate(page_);
  }

  void NavigateComplete(skinui::WebBrowser&, const std::string&) override {
    std::printf("loaded\n");
    std::fflush(stdout);
  }
  void NavigateError(skinui::WebBrowser&, const std::string& url, int status) override {
    std::printf("failed %d %s\n", status, url.c_str());
    std::fflush(stdout);
  }

 private:
  std::string page_;
};

int RunChild(const std::string& page) {
  std::string error;
  if (!skinui::gtk::DesktopDisplay::Open("gtk_startup_bench", nullptr, error)) {
    std::fprintf(stderr, "%s\n", error.c_str());
    return 2;
  }
  skinui::gtk::GlibMessageLoop loop;
  skinui::gtk::GtkBackendOptions options;
  options.webModule = std::string(GTK_BENCH_APP_DIR) + "/libZelkWeb.so";
  auto backend = std::make_unique<skinui::gtk::GtkBackend>(loop, options);
  backend->SetFirstFrameHandler([] {
    std::printf("frame\n");
    std::fflush(stdout);
  });
  skinui::UiContext context(loop, std::move(backend),
                            std::string(GTK_BENCH_APP_DIR) + "/Skin/Zelk");
  BenchFrame frame(context, page);
  frame.Create(nullptr, u"Tamsel 3.1", skinui::WS_POPUP | skinui::WS_VISIBLE, 0);
  frame.CenterWindow();
  return loop.run();
}

// --- The measuring parent ------------------------------------------------------------------

struct Run {
  double frameMs = -1;
  double loadedMs = -1;
  Memory window;
  Memory web;
  int webProcesses = 0;
};

Run MeasureOnce(const std::string& self, const std::string& page) {
  Run run;
  int fds[2];
  if (::pipe(fds) != 0) return run;
  std::vector<std::string> args = {self, "--child"};
  if (!page.empty()) {
    args.push_back("--page");
    args.push_back(page);
  }
  std::vector<char*> argv;
  for (auto& a : args) argv.push_back(a.data());
  argv.push_back(nullptr);
  const auto start = Steady::now();
  const pid_t pid = ::fork();
  if (pid == 0) {
    ::dup2(fds[1], 1);
    ::close(fds[0]);
    ::execv(argv[0], argv.data());
    ::_exit(127);
  }
  ::close(fds[1]);
  const auto deadline = start + std::chrono::seconds(30);
  const auto msSince = [&] {
    return std::chrono::duration<double, std::milli>(Steady::now() - start).count();
  };
  std::string line;
  const std::string wanted = page.empty() ? "frame" : "loaded";
  while (ReadLine(fds[0], line, deadline)) {
    if (line == "frame") run.frameMs = msSince();
    if (line == "loaded") run.loadedMs = msSince();
    if (line.starts_with("failed")) std::fprintf(stderr, "the page failed: %s\n", line.c_str());
    if (line == wanted || line.starts_with("failed")) break;
  }
  // Let the processes settle before their memory is read.
  std::this_thread::sleep_for(std::chrono::milliseconds(800));
  run.window = MemoryOf(pid);
  for (const int child : Descendants(pid)) {
    const Memory m = MemoryOf(child);
    run.web.rssKb += m.rssKb;
    run.web.pssKb += m.pssKb;
    ++run.webProcesses;
  }
  ::kill(pid, SIGTERM);
  ::waitpid(pid, nullptr, 0);
  ::close(fds[0]);
  return run;
}

void Report(const char* title, const std::vector<Run>& runs) {
  std::vector<double> frames, loads;
  Memory window, web;
  int processes = 0;
  for (const Run& r : runs) {
    if (r.frameMs >= 0) frames.push_back(r.frameMs);
    if (r.loadedMs >= 0) loads.push_back(r.loadedMs);
  }
  // Memory of the last run (the first ones warm the disk cache).
  if (!runs.empty()) {
    window = runs.back().window;
    web = runs.back().web;
    processes = runs.back().webProcesses;
  }
  std::printf("%s (%zu runs)\n", title, runs.size());
  if (!frames.empty()) {
    std::printf("  exec to first painted frame: median %.0f ms (min %.0f, max %.0f)\n",
                Median(frames), *std::min_element(frames.begin(), frames.end()),
                *std::max_element(frames.begin(), frames.end()));
  }
  if (!loads.empty()) std::printf("  exec to page loaded:         median %.0f ms\n", Median(loads));
  std::printf("  window process:  RSS %6.1f MB, PSS %6.1f MB\n", window.rssKb / 1024.0,
              window.pssKb / 1024.0);
  std::printf("  web processes:   RSS %6.1f MB, PSS %6.1f MB (%d processes)\n", web.rssKb / 1024.0,
              web.pssKb / 1024.0, processes);
  std::printf("  total:           RSS %6.1f MB, PSS %6.1f MB\n",
              (window.rssKb + web.rssKb) / 1024.0, (window.pssKb + web.pssKb) / 1024.0);
}

}  // namespace

int main(int argc, char** argv) {
  if (argc >= 2 && std::strcmp(argv[1], "--child") == 0) {
    return RunChild(argc >= 4 && std::strcmp(argv[2], "--page") == 0 ? argv[3] : "");
  }
  const char* display = std::getenv("DISPLAY");
  if (display == nullptr || *display == '\0') {
    std::fprintf(stderr,
                 "gtk_startup_bench needs a display; run it under "
                 "xvfb-run -a -s \"-screen 0 1280x960x24 -nolisten tcp\"\n");
    return 2;
  }
  ::setenv("WEBKIT_DISABLE_COMPOSITING_MODE", "1", 0);
  ::unsetenv("ZELK_HEADLESS");
  const int runs = argc >= 2 ? std::max(1, std::atoi(argv[1])) : 5;
  char pageTemplate[] = "/tmp/gtk_startup_bench_XXXXXX.html";
  const int pageFd = ::mkstemps(pageTemplate, 5);
  const std::string html =
      "<!DOCTYPE html><html><head><meta charset=\"utf-8\"><title>bench</title></head><body>"
      "<h1>施工技术视频</h1><p>" +
      std::string(200, 'x') + "</p></body></html>";
  if (pageFd < 0 ||
      ::write(pageFd, html.data(), html.size()) != static_cast<ssize_t>(html.size())) {
    std::fprintf(stderr, "cannot write the page\n");
    return 1;
  }
  ::close(pageFd);
  const std::string self =
      platform::JoinPath(platform::ProgramDirectory(), platform::ProgramFileName());
  std::vector<Run> plain, web;
  for (int i = 0; i < runs; ++i) plain.push_back(MeasureOnce(self, ""));
  for (int i = 0; i < runs; ++i)
    web.push_back(MeasureOnce(self, std::string("file://") + pageTemplate));
  ::unlink(pageTemplate);
  Report("Window without a web view", plain);
  Report("Window with one web view (local page)", web);
  return 0;
}
