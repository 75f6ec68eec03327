#include "client_process.h"

#include <fcntl.h>
#include <signal.h>
#include <spawn.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <thread>

#include "platform/dynamic_library.h"

extern char** environ;

namespace ui_testing {
namespace {

namespace fs = std::filesystem;
using Clock = std::chrono::steady_clock;

// Another process is being waited for: poll with a bounded deadline (real time).
template <class F>
bool PollUntil(int timeoutMs, F condition) {
  const auto deadline = Clock::now() + std::chrono::milliseconds(timeoutMs);
  while (!condition()) {
    if (Clock::now() >= deadline) return false;
    std::this_thread::sleep_for(std::chrono::milliseconds(20));
  }
  return true;
}

pid_t Spawn(const std::string& program, const std::vector<std::string>& arguments,
            const std::vector<std::string>& extraEnvironment, const std::string& outputPath) {
  std::vector<std::string> environment;
  for (char** e = environ; *e != nullptr; ++e) {
    const std::string entry(*e);
    const std::string name = entry.substr(0, entry.find('='));
    bool replaced = false;
    for (const std::string& extra : extraEnvironment) {
      if (extra.substr(0, extra.find('=')) == name) replaced = true;
    }
    if (!replaced) environment.push_back(entry);
  }
  environment.insert(environment.end(), extraEnvironment.begin(), extraEnvironment.end());
  std::vector<char*> envp;
  for (std::string& e : environment) envp.push_back(e.data());
  envp.push_back(nullptr);
  std::vector<std::string> args = {program};
  args.insert(args.end(), arguments.begin(), arguments.end());
  std::vector<char*> argv;
  for (std::string& a : args) argv.push_back(a.data());
  argv.push_back(nullptr);

  posix_spawn_file_actions_t actions;
  posix_spawn_file_actions_init(&actions);
  posix_spawn_file_actions_addopen(&actions, STDOUT_FILENO, outputPath.c_str(),
                                   O_WRONLY | O_CREAT | O_TRUNC, 0600);
  posix_spawn_file_actions_adddup2(&actions, STDOUT_FILENO, STDERR_FILENO);
  pid_t pid = -1;
  const int failed =
      posix_spawn(&pid, program.c_str(), &actions, nullptr, argv.data(), envp.data());
  posix_spawn_file_actions_destroy(&actions);
  return failed == 0 ? pid : -1;
}

std::string ReadFile(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  return std::string(std::istreambuf_iterator<char>(in), {});
}

void KillAndReap(pid_t& pid) {
  if (pid <= 0) return;
  kill(pid, SIGKILL);
  waitpid(pid, nullptr, 0);
  pid = -1;
}

}  // namespace

bool Eventually(const std::function<bool()>& condition, int timeoutMs) {
  const auto deadline = std::chrono::steady_clock::now() + std::chrono::milliseconds(timeoutMs);
  while (!condition()) {
    if (std::chrono::steady_clock::now() >= deadline) return false;
    std::this_thread::sleep_for(std::chrono::milliseconds(50));
  }
  return true;
}

std::string StagedApplication() {
  const char* app = std::getenv("ZELK_APP_DIR");
  return app != nullptr ? app : ".";
}

// ---------------------------------------------------------------------------------------------

// ---------------------------------------------------------------------------------------------

DevService::DevService(std::string program, std::string stateFolder)
    : program_(std::move(program)), state_(std::move(stateFolder)) {}

DevService::~DevService() {
  Stop();
}

bool DevService::Start(int port, bool withFiles, const std::string& filesRoot) {
  Stop();
  fs::create_directories(state_);
  const std::string output = state_ + "/service.out";
  std::vector<std::string> arguments{"--http", "127.0.0.1:" + std::to_string(port), "--state",
                                     state_};
  if (withFiles) arguments.insert(arguments.end(), {"--files", "127.0.0.1:0"});
  if (withFiles && !filesRoot.empty())
    arguments.insert(arguments.end(), {"--files-root", filesRoot});
  pid_ = Spawn(program_, arguments, {}, output);
  if (pid_ <= 0) return false;
  // Its first line names the address it bound: "zelk-devservice http=127.0.0.1:PORT files=-".
  return PollUntil(20000, [&] {
    const std::string text = ReadFile(output);
    const std::size_t at = text.find("http=127.0.0.1:");
    if (at == std::string::npos) return false;
    port_ = std::atoi(text.c_str() + at + std::strlen("http=127.0.0.1:"));
    return port_ > 0;
  });
}

void DevService::Stop() {
  if (pid_ <= 0) return;
  kill(pid_, SIGTERM);
  waitpid(pid_, nullptr, 0);
  pid_ = -1;
}

// ---------------------------------------------------------------------------------------------

ClientProcess::ClientProcess(std::string root, std::string serviceHost)
    : root_(std::move(root)), serviceHost_(std::move(serviceHost)) {
  if (!fs::exists(appFolder())) CopyApplication();
}

ClientProcess::~ClientProcess() {
  client_.reset();
  KillAndReap(pid_);
}

void ClientProcess::CopyApplication() {
  const std::string from = StagedApplication();
  fs::create_directories(appFolder());
  for (const std::string& name :
       {std::string("Zelk"), platform::SharedLibraryFileName("ZelkLib")}) {
    fs::copy_file(from + "/" + name, file(name), fs::copy_options::overwrite_existing);
  }
  fs::copy(from + "/Skin", file("Skin"), fs::copy_options::recursive);
  fs::copy_file(from + "/NavigateURLError.html", file("NavigateURLError.html"));
  fs::copy(from + "/Introduce", file("Introduce"), fs::copy_options::recursive);
  for (const char* folder : {"/run", "/home"}) fs::create_directories(root_ + folder);
  fs::permissions(root_ + "/run", fs::perms::owner_all);
}

bool ClientProcess::Start(const std::vector<std::string>& arguments, bool startPrograms) {
  const std::string home = root_ + "/home";
  pid_ = Spawn(file("Zelk"), arguments,
               {"ZELK_HEADLESS=1", "ZELK_AUTOMATION=" + socketPath(),
                std::string("ZELK_SHELL_OPEN=") + (startPrograms ? "programs" : "record"),
                "ZELK_SERVICE_HOST=" + serviceHost_, "XDG_RUNTIME_DIR=" + root_ + "/run",
                "HOME=" + home, "XDG_CONFIG_HOME=" + home + "/config",
                "XDG_DATA_HOME=" + home + "/data", "XDG_CACHE_HOME=" + home + "/cache"},
               root_ + "/client.out");
  if (pid_ <= 0) return false;
  return PollUntil(20000, [&] {
    client_ = std::make_unique<AutomationClient>();
    return client_->TryConnect(socketPath()) && client_->Call("ping")["ok"].asBool();
  });
}

bool ClientProcess::running() {
  if (pid_ <= 0) return false;
  int status = 0;
  if (waitpid(pid_, &status, WNOHANG) == pid_) {
    pid_ = -1;
    return false;
  }
  return true;
}

int ClientProcess::WaitForExit(int timeoutMs) {
  int status = 0;
  bool ended = false;
  PollUntil(timeoutMs, [&] {
    ended = pid_ > 0 && waitpid(pid_, &status, WNOHANG) == pid_;
    return ended;
  });
  if (!ended) {
    KillAndReap(pid_);
    return -2;
  }
  pid_ = -1;
  return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
}

std::vector<std::string> ClientProcess::LogLines() const {
  std::vector<std::string> lines;
  std::ifstream in(file("Log/Zelk.log"));
  std::string line;
  constexpr std::size_t kStampLength = 24;
  while (std::getline(in, line)) {
    lines.push_back(line.size() >= kStampLength ? line.substr(kStampLength) : line);
  }
  return lines;
}

Json::Value ClientProcess::Control(const std::string& name) {
  return client_->Call("control", {{"window", "UIMainFrame"}, {"name", name}})["control"];
}

bool ClientProcess::Click(const std::string& name, const std::string& window) {
  return client_->Call("click", {{"window", window}, {"name", name}})["ok"].asBool();
}

}  // namespace ui_testing
