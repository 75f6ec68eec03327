// Start-up time and memory of the client program on a desktop, against a bare GTK window
// measured in the same run. Run on a display (a virtual one does):
//   cmake --build build --target bench_client_startup
// Per case it prints the time from exec to the first painted frame; for the client also the
// time until its six web tabs have loaded their service pages, and then the proportional set
// size (PSS) of the client and of every process it started (WebKit's web and network
// processes). The client runs from a private copy of the staged program folder against the
// local development service on a loopback port. The memory is set against the least a window
// with a web view costs here, measured in the same run: a window of the same window library
// with one web view of a small local page (the child of bench_gtk_startup).
#include <fcntl.h>
#include <gtk/gtk.h>
#include <poll.h>
#include <signal.h>
#include <sys/socket.h>
#include <sys/un.h>
#include <sys/wait.h>
#include <unistd.h>

#include <dirent.h>
#include <json/json.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <map>
#include <sstream>
#include <string>
#include <thread>
#include <vector>

#include "platform/paths.h"
#include "process_probe.h"

namespace {

using bench::Descendants;
using bench::Median;
using bench::ReadLine;

long PssKb(int pid) {
  return bench::MemoryOf(pid).pssKb;
}

namespace fs = std::filesystem;
using Steady = std::chrono::steady_clock;

// --- The bare window (the baseline child) ---------------------------------------------------

int RunBareWindow(int argc, char** argv) {
  gtk_init(&argc, &argv);
  GtkWidget* window = gtk_window_new(GTK_WINDOW_TOPLEVEL);
  gtk_window_set_decorated(GTK_WINDOW(window), FALSE);
  gtk_window_set_default_size(GTK_WINDOW(window), 1200, 900);
  gtk_widget_set_app_paintable(window, TRUE);
  g_signal_connect(window, "draw", G_CALLBACK(+[](GtkWidget*, cairo_t* cr, gpointer) -> gboolean {
                     cairo_set_source_rgb(cr, 0.95, 0.96, 0.98);
                     cairo_paint(cr);
                     static bool reported = false;
                     if (!reported) {
                       reported = true;
                       std::fputs("first-frame\n", stdout);
                       std::fflush(stdout);
                     }
                     return FALSE;
                   }),
                   nullptr);
  gtk_widget_show_all(window);
  gtk_main();
  return 0;
}

// --- Processes ------------------------------------------------------------------------------

struct Child {
  pid_t pid = -1;
  int out = -1;  // the child's standard output
};

Child Spawn(const std::vector<std::string>& args, const std::vector<std::string>& environment) {
  int fds[2];
  if (::pipe(fds) != 0) return {};
  std::vector<std::string> argStore = args;
  std::vector<char*> argv;
  for (auto& a : argStore) argv.push_back(a.data());
  argv.push_back(nullptr);
  std::vector<std::string> envStore = environment;
  std::vector<char*> envp;
  for (auto& e : envStore) envp.push_back(e.data());
  envp.push_back(nullptr);
  const pid_t pid = ::fork();
  if (pid == 0) {
    ::dup2(fds[1], 1);
    const int null = ::open("/dev/null", O_WRONLY);
    if (null >= 0) ::dup2(null, 2);
    ::close(fds[0]);
    ::execve(argv[0], argv.data(), envp.data());
    ::_exit(127);
  }
  ::close(fds[1]);
  return {pid, fds[0]};
}

void Stop(Child& child) {
  if (child.pid <= 0) return;
  ::kill(child.pid, SIGTERM);
  ::waitpid(child.pid, nullptr, 0);
  ::close(child.out);
  child = {};
}

// --- Automation -----------------------------------------------------------------------------

class Automation {
 public:
  bool Connect(const std::string& path, Steady::time_point deadline) {
    while (Steady::now() < deadline) {
      fd_ = ::socket(AF_UNIX, SOCK_STREAM, 0);
      sockaddr_un address{};
      address.sun_family = AF_UNIX;
      std::strncpy(address.sun_path, path.c_str(), sizeof address.sun_path - 1);
      if (::connect(fd_, reinterpret_cast<sockaddr*>(&address), sizeof address) == 0) return true;
      ::close(fd_);
      fd_ = -1;
      std::this_thread::sleep_for(std::chrono::milliseconds(20));
    }
    return false;
  }
  ~Automation() {
    if (fd_ >= 0) ::close(fd_);
  }
  Json::Value Call(Json::Value request) {
    Json::StreamWriterBuilder writer;
    writer["indentation"] = "";
    const std::string line = Json::writeString(writer, request) + "\n";
    if (::send(fd_, line.data(), line.size(), MSG_NOSIGNAL) != ssize_t(line.size())) return {};
    std::string reply;
    char c;
    while (::recv(fd_, &c, 1, 0) == 1 && c != '\n') reply += c;
    Json::Value value;
    std::istringstream(reply) >> value;
    return value;
  }

 private:
  int fd_ = -1;
};

// --- Measuring ------------------------------------------------------------------------------

constexpr const char* kTabs[] = {"ie_for_faq",  "ie_for_project_template", "ie_for_video",
                                 "ie_for_game", "ie_for_navigate",         "ie_for_share_each_day"};

struct ClientRun {
  double frameMs = -1;
  double tabsMs = -1;
  long clientPssKb = 0;
  long othersPssKb = 0;
  int otherProcesses = 0;
};

double MsSince(Steady::time_point start) {
  return std::chrono::duration<double, std::milli>(Steady::now() - start).count();
}

double MeasureBare(const std::string& self, const std::vector<std::string>& environment) {
  const auto start = Steady::now();
  Child child = Spawn({self, "--bare"}, environment);
  std::string line;
  double frame = -1;
  while (ReadLine(child.out, line, start + std::chrono::seconds(20))) {
    if (line == "first-frame") {
      frame = MsSince(start);
      break;
    }
  }
  Stop(child);
  return frame;
}

ClientRun MeasureClient(const std::string& root, const std::vector<std::string>& environment) {
  ClientRun run;
  const std::string socket = root + "/automation.sock";
  fs::remove(socket);
  const auto start = Steady::now();
  Child child = Spawn({root + "/app/Zelk"}, environment);
  const auto deadline = start + std::chrono::seconds(60);
  std::string line;
  while (ReadLine(child.out, line, deadline)) {
    if (line == "first-frame") {
      run.frameMs = MsSince(start);
      break;
    }
  }
  Automation automation;
  if (!automation.Connect(socket, deadline)) {
    std::fprintf(stderr, "the client's automation did not answer\n");
    Stop(child);
    return run;
  }
  // A fresh home first asks for the "zelk://" handler to be registered: answered once.
  Json::Value box;
  box["cmd"] = "message_box";
  if (automation.Call(box)["message_box"]["shown"].asBool()) {
    Json::Value answer;
    answer["cmd"] = "answer_message_box";
    answer["button"] = "ok";
    automation.Call(answer);
  }
  bool loaded = false;
  while (!loaded && Steady::now() < deadline) {
    loaded = true;
    for (const char* tab : kTabs) {
      Json::Value request;
      request["cmd"] = "browser";
      request["window"] = "UIMainFrame";
      request["name"] = tab;
      const Json::Value state = automation.Call(request);
      if (state["loading"].asBool() ||
          state["url"].asString().find("/zelk/") == std::string::npos) {
        loaded = false;
        break;
      }
    }
    if (!loaded) std::this_thread::sleep_for(std::chrono::milliseconds(10));
  }
  if (loaded) run.tabsMs = MsSince(start);
  // Let the processes settle before their memory is read.
  std::this_thread::sleep_for(std::chrono::milliseconds(1500));
  run.clientPssKb = PssKb(child.pid);
  for (const int other : Descendants(child.pid)) {
    run.othersPssKb += PssKb(other);
    ++run.otherProcesses;
  }
  Json::Value quit;
  quit["cmd"] = "quit";
  automation.Call(quit);
  // "quit" goes to the oldest window; when that is the start-up box the client goes on.
  for (int i = 0; i < 100; ++i) {
    if (::waitpid(child.pid, nullptr, WNOHANG) == child.pid) {
      ::close(child.out);
      return run;
    }
    std::this_thread::sleep_for(std::chrono::milliseconds(50));
  }
  Stop(child);
  return run;
}

// PSS of a window of the library with one web view of a local page, and of the processes it
// started, once the page has loaded; 0 when it did not.
long MeasureOneWebView(const std::string& page, const std::vector<std::string>& environment) {
  const auto start = Steady::now();
  Child child = Spawn({CLIENT_BENCH_WEB_BASELINE, "--child", "--page", page}, environment);
  std::string line;
  bool loaded = false;
  while (!loaded && ReadLine(child.out, line, start + std::chrono::seconds(30))) {
    loaded = line == "loaded";
  }
  long pssKb = 0;
  if (loaded) {
    // Settled as long as the client's processes are.
    std::this_thread::sleep_for(std::chrono::milliseconds(1500));
    pssKb = PssKb(child.pid);
    for (const int other : Descendants(child.pid)) pssKb += PssKb(other);
  }
  Stop(child);
  return pssKb;
}

int StartService(const std::string& program, const std::string& state, Child& service) {
  service = Spawn({program, "--http", "127.0.0.1:0", "--state", state}, {});
  std::string line;
  const auto deadline = Steady::now() + std::chrono::seconds(20);
  while (ReadLine(service.out, line, deadline)) {
    const auto at = line.find("http=127.0.0.1:");
    if (at != std::string::npos) return std::atoi(line.c_str() + at + 15);
  }
  return 0;
}

}  // namespace

int main(int argc, char** argv) {
  if (argc >= 2 && std::strcmp(argv[1], "--bare") == 0) return RunBareWindow(argc, argv);
  const char* display = std::getenv("DISPLAY");
  if (display == nullptr || *display == '\0') {
    std::fprintf(stderr, "client_startup_bench needs a display (xvfb-run)\n");
    return 2;
  }
  const int runs = argc >= 2 ? std::max(1, std::atoi(argv[1])) : 5;
  const std::string root =
      fs::temp_directory_path() / ("client_startup_bench." + std::to_string(::getpid()));
  fs::create_directories(root + "/home");
  fs::create_directories(root + "/run");
  fs::permissions(root + "/run", fs::perms::owner_all);
  // Another staged program folder (an earlier build) may be measured instead.
  const char* other = std::getenv("CLIENT_BENCH_APP_DIR");
  const std::string staged = other != nullptr && *other ? other : CLIENT_BENCH_APP_DIR;
  fs::create_directories(root + "/app");
  for (const char* name :
       {"Zelk", "libZelkLib.so", "libZelkWeb.so", "Skin", "NavigateURLError.html", "Introduce"}) {
    std::error_code error;
    fs::copy(staged + "/" + name, root + "/app/" + name, fs::copy_options::recursive, error);
  }

  Child service;
  const int port = StartService(CLIENT_BENCH_DEVSERVICE, root + "/service", service);
  if (port <= 0) {
    std::fprintf(stderr, "the development service did not start\n");
    return 1;
  }
  const std::string home = root + "/home";
  std::vector<std::string> environment = {
      std::string("DISPLAY=") + display,
      "HOME=" + home,
      "XDG_RUNTIME_DIR=" + root + "/run",
      "XDG_CONFIG_HOME=" + home + "/config",
      "XDG_DATA_HOME=" + home + "/data",
      "XDG_CACHE_HOME=" + home + "/cache",
      "WEBKIT_DISABLE_COMPOSITING_MODE=1",
      "ZELK_AUTOMATION=" + root + "/automation.sock",
      "ZELK_SHELL_OPEN=record",
      "ZELK_REPORT_FIRST_FRAME=1",
      "ZELK_SERVICE_HOST=127.0.0.1:" + std::to_string(port),
  };
  for (const char* name : {"PATH", "XAUTHORITY"}) {
    if (const char* value = std::getenv(name))
      environment.push_back(std::string(name) + "=" + value);
  }
  const std::string self =
      platform::JoinPath(platform::ProgramDirectory(), platform::ProgramFileName());

  // A first start registers the link handler and warms the caches; it is not counted.
  MeasureClient(root, environment);
  const std::string page = root + "/page.html";
  std::ofstream(page) << "<!DOCTYPE html><html><head><meta charset=\"utf-8\"><title>bench</title>"
                         "</head><body><h1>施工技术视频</h1><p>"
                      << std::string(200, 'x') << "</p></body></html>";
  std::vector<double> bare, frames, tabs;
  ClientRun last;
  long oneViewPssKb = 0;
  for (int i = 0; i < runs; ++i) {
    bare.push_back(MeasureBare(self, environment));
    last = MeasureClient(root, environment);
    frames.push_back(last.frameMs);
    tabs.push_back(last.tabsMs);
    oneViewPssKb = MeasureOneWebView("file://" + page, environment);
  }
  Stop(service);
  fs::remove_all(root);

  const double bareMs = Median(bare);
  const double clientMs = Median(frames);
  std::printf("Client start-up (%d runs, medians)\n", runs);
  std::printf("  bare GTK window, exec to first frame:   %6.0f ms\n", bareMs);
  std::printf("  client, exec to first frame:            %6.0f ms  (%.2f x the bare window)\n",
              clientMs, bareMs > 0 ? clientMs / bareMs : 0.0);
  std::printf("  client, exec to six web tabs loaded:    %6.0f ms\n", Median(tabs));
  std::printf("  client process PSS:                     %6.1f MB\n", last.clientPssKb / 1024.0);
  std::printf("  processes it started (%d), PSS:          %6.1f MB\n", last.otherProcesses,
              last.othersPssKb / 1024.0);
  const long totalKb = last.clientPssKb + last.othersPssKb;
  std::printf("  total PSS with the six tabs loaded:     %6.1f MB\n", totalKb / 1024.0);
  std::printf("  a window with one web view, total PSS:  %6.1f MB  (client: %.2f x that)\n",
              oneViewPssKb / 1024.0,
              oneViewPssKb > 0 ? static_cast<double>(totalKb) / oneViewPssKb : 0.0);
  return 0;
}
