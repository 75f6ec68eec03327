// The zelk-devservice program itself: its help, its first output line, its port 0 and its stop.

#include <gtest/gtest.h>
#include <httplib.h>
#include <poll.h>
#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <cstdio>

#include "raw_file_client.h"
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

// The decimal port after `prefix` up to the next blank or the end; 0 when there is none.
int PortAfter(const std::string& line, const std::string& prefix) {
  const auto at = line.find(prefix);
  if (at == std::string::npos) return 0;
  const std::string digits =
      line.substr(at + prefix.size(), line.find(' ', at) - at - prefix.size());
  if (digits.empty() || digits.find_first_not_of("0123456789") != std::string::npos) return 0;
  return std::stoi(digits);
}

TEST(Program, PrintsTheBoundPortFirstServesAndStopsOnTerm) {
  testing_support::TempDir dir;
  RunningProgram program({"--http", "127.0.0.1:0", "--state", dir.path() + "/s"});
  const std::string line = program.firstLine(std::chrono::seconds(20));
  ASSERT_TRUE(line.starts_with("zelk-devservice http=127.0.0.1:") && line.ends_with(" files=-"))
      << line;
  const int port = PortAfter(line, "http=127.0.0.1:");
  EXPECT_GT(port, 0) << line;

  httplib::Client client("127.0.0.1", port);
  const auto reply =
      client.Get("/zelk/FileServerLiveForm.aspx?kind=3&fileKind=1&fileName=DwgViewer_5.0.2.zip");
  ASSERT_TRUE(reply);
  EXPECT_EQ(ParseJsonObject(reply->body)["msg"].asString(), "文件服务器未启动")
      << "without --files there is no file server to announce";
  EXPECT_EQ(program.terminate(std::chrono::seconds(10)), 0);
}

TEST(Program, WithFilesOnPortZeroItNamesAndServesTheBoundFileServer) {
  testing_support::TempDir dir;
  const std::string content(10000, 'z');
  dir.write("files/App/DwgViewer_5.0.2.zip", content);
  RunningProgram program({"--http", "127.0.0.1:0", "--files", "127.0.0.1:0", "--files-root",
                          dir.file("files"), "--state", dir.path() + "/s"});
  const std::string line = program.firstLine(std::chrono::seconds(20));
  const int httpPort = PortAfter(line, "http=127.0.0.1:");
  const int filesPort = PortAfter(line, " files=127.0.0.1:");
  ASSERT_GT(httpPort, 0) << line;
  ASSERT_GT(filesPort, 0) << line;
  EXPECT_NE(httpPort, filesPort);

  httplib::Client client("127.0.0.1", httpPort);
  const auto reply =
      client.Get("/zelk/FileServerLiveForm.aspx?kind=3&fileKind=1&fileName=DwgViewer_5.0.2.zip");
  ASSERT_TRUE(reply);
  const Json::Value value = ParseJsonObject(reply->body);
  EXPECT_EQ(value["result"].asInt(), 1);
  EXPECT_EQ(value["msg"].asString(), "127.0.0.1:" + std::to_string(filesPort));
  EXPECT_EQ(value["msg_ex"].asString(), "localhost:" + std::to_string(filesPort));

  RawFileClient files(filesPort);
  std::string received;
  for (int round = 0; round < 3; ++round) {
    ASSERT_TRUE(files.send(
        RequestImage("DwgViewer_5.0.2.zip", static_cast<std::int32_t>(received.size()), 1)));
    const auto block = ReadBlockImage(files.readFrame().value_or(""));
    ASSERT_TRUE(block.has_value());
    received += block->data;
  }
  EXPECT_EQ(received, content);
  EXPECT_EQ(program.terminate(std::chrono::seconds(10)), 0);
}

TEST(Program, AFilesFolderThatIsMissingStopsTheStart) {
  testing_support::TempDir dir;
  EXPECT_EQ(RunToEnd("--http 127.0.0.1:0 --files 127.0.0.1:0 --files-root " + dir.file("none") +
                     " --state " + dir.path() + "/s")
                .exitCode,
            1);
}

}  // namespace
}  // namespace devservice
