// The zelk-devservice program itself: its help, its first output line, its port 0 and its stop.

#include <gtest/gtest.h>
#include <httplib.h>
#include <poll.h>
#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <cstdio>

#include "service_fixture.h"
#include "support/temp_dir.h"

namespace devservice {
namespace {

struct Finished {
  int exitCode = -1;
  std::string output;
};

// Runs the program to its end with the arguments and collects its standard output.
Finished RunToEnd(const std::string& arguments) {
  Finished finished;
  FILE* pipe =
      popen((std::string(ZELK_DEVSERVICE_PROGRAM) + " " + arguments + " 2>/dev/null").c_str(), "r");
  if (pipe == nullptr) return finished;
  char buffer[4096];
  std::size_t read = 0;
  while ((read = fread(buffer, 1, sizeof buffer, pipe)) > 0) finished.output.append(buffer, read);
  const int status = pclose(pipe);
  finished.exitCode = WIFEXITED(status) ? WEXITSTATUS(status) : -1;
  return finished;
}

// The program started in the background; its first output line is read with a deadline.
class RunningProgram {
 public:
  explicit RunningProgram(std::vector<std::string> arguments) {
    int fds[2];
    if (pipe(fds) != 0) return;
    pid_ = fork();
    if (pid_ == 0) {
      dup2(fds[1], STDOUT_FILENO);
      close(fds[0]);
      close(fds[1]);
      std::vector<char*> argv{const_cast<char*>(ZELK_DEVSERVICE_PROGRAM)};
      for (std::string& argument : arguments) argv.push_back(argument.data());
      argv.push_back(nullptr);
      execv(ZELK_DEVSERVICE_PROGRAM, argv.data());
      _exit(127);
    }
    close(fds[1]);
    output_ = fds[0];
  }
  ~RunningProgram() {
    if (pid_ > 0 && exitCode_ < 0) {
      kill(pid_, SIGKILL);
      waitpid(pid_, nullptr, 0);
    }
    if (output_ >= 0) close(output_);
  }

  std::string firstLine(std::chrono::milliseconds timeout) {
    std::string line;
    const auto deadline = std::chrono::steady_clock::now() + timeout;
    while (line.find('\n') == std::string::npos && std::chrono::steady_clock::now() < deadline) {
      pollfd ready{output_, POLLIN, 0};
      if (poll(&ready, 1, 100) <= 0) continue;
      char c = 0;
      if (read(output_, &c, 1) != 1) break;
      line += c;
    }
    return line.substr(0, line.find('\n'));
  }

  // Sends SIGTERM and waits (bounded) for the exit code.
  int terminate(std::chrono::milliseconds timeout) {
    kill(pid_, SIGTERM);
    const auto deadline = std::chrono::steady_clock::now() + timeout;
    int status = 0;
    while (std::chrono::steady_clock::now() < deadline) {
      if (waitpid(pid_, &status, WNOHANG) == pid_) {
        exitCode_ = WIFEXITED(status) ? WEXITSTATUS(status) : 128;
        return exitCode_;
      }
      poll(nullptr, 0, 10);
    }
    return -1;
  }

 private:
  pid_t pid_ = -1;
  int output_ = -1;
  int exitCode_ = -1;
};

TEST(Program, HelpDocumentsTheOptionsAndBadOptionsFail) {
  const Finished help = RunToEnd("--help");
  EXPECT_EQ(help.exitCode, 0);
  for (const char* option :
       {"--http HOST:PORT", "--files HOST:PORT", "--data DIR", "--state DIR"}) {
    EXPECT_NE(help.output.find(option), std::string::npos) << option;
  }
  EXPECT_EQ(RunToEnd("--http nowhere").exitCode, 2);
  testing_support::TempDir dir;
  EXPECT_EQ(RunToEnd("--http 127.0.0.1:0 --data " + dir.path() + " --state " + dir.path() + "/s")
                .exitCode,
            1)
      << "a data folder without data";
}

TEST(Program, PrintsTheBoundPortFirstServesAndStopsOnTerm) {
  testing_support::TempDir dir;
  RunningProgram program(
      {"--http", "127.0.0.1:0", "--files", "127.0.0.1:8097", "--state", dir.path() + "/s"});
  const std::string line = program.firstLine(std::chrono::seconds(20));
  const std::string prefix = "zelk-devservice http=127.0.0.1:";
  const std::string suffix = " files=-";
  ASSERT_TRUE(line.starts_with(prefix) && line.ends_with(suffix)) << line;
  const std::string digits =
      line.substr(prefix.size(), line.size() - prefix.size() - suffix.size());
  ASSERT_TRUE(!digits.empty() && digits.find_first_not_of("0123456789") == std::string::npos)
      << line;
  const int port = std::stoi(digits);
  EXPECT_GT(port, 0);

  httplib::Client client("127.0.0.1", port);
  const auto reply =
      client.Get("/zelk/FileServerLiveForm.aspx?kind=3&fileKind=1&fileName=DwgViewer_5.0.2.zip");
  ASSERT_TRUE(reply);
  const Json::Value value = ParseJsonObject(reply->body);
  EXPECT_EQ(value["result"].asInt(), 1);
  EXPECT_EQ(value["msg"].asString(), "127.0.0.1:8097");
  EXPECT_EQ(value["msg_ex"].asString(), "localhost:8097");
  EXPECT_EQ(program.terminate(std::chrono::seconds(10)), 0);
}

}  // namespace
}  // namespace devservice
