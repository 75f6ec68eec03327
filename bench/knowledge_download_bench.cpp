// Downloads 64 MiB (or the MiB given as the first argument) from the development service's file
// server with the real download engine, the real 1 ms pause per round and the real support
// library, and prints the rate, the client's CPU time per MiB and the ratio to the protocol's
// ceiling: one 4096-byte block per round of one real 1 ms pause plus one loopback round trip
// of a request and its 4116-byte block frame, both measured in this run against the same server.
//
// The service runs as its own process (the zelk-devservice program), so that the CPU time of
// this process is the client's alone: the engine's worker, the window thread that handles its
// messages, and the one address query.

#include <fcntl.h>
#include <netinet/in.h>
#include <netinet/tcp.h>
#include <poll.h>
#include <signal.h>
#include <spawn.h>
#include <sys/resource.h>
#include <sys/socket.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <optional>
#include <random>
#include <stdexcept>
#include <string>
#include <vector>

#include "core/zelk_lib_binding.h"
#include "knowledge/download_engine.h"
#include "knowledge/download_messages.h"
#include "knowledge/file_server_messages.h"
#include "knowledge/file_server_query.h"
#include "platform/code_page.h"
#include "platform/dynamic_library.h"
#include "platform/headless_message_loop.h"
#include "support/temp_dir.h"

extern char** environ;

namespace {

using SteadyClock = std::chrono::steady_clock;

constexpr std::int64_t kMiB = 1024 * 1024;
constexpr std::int64_t kDefaultMiB = 64;
constexpr std::size_t kBlockBytes = 4096;
constexpr std::size_t kBlockFrameBytes = 4 + 4112;
constexpr char kFileName[] = "bench-download.bin";
constexpr int kSleepSamples = 2000;
constexpr int kRoundTripSamples = 5000;
constexpr std::int64_t kFloorMiB = 8;
constexpr double kCeilingTarget = 0.90;
constexpr double kCpuPerMiBTargetMs = 10.0;

double secondsSince(SteadyClock::time_point start) {
  return std::chrono::duration<double>(SteadyClock::now() - start).count();
}

double cpuSeconds(const rusage& usage) {
  return static_cast<double>(usage.ru_utime.tv_sec + usage.ru_stime.tv_sec) +
         static_cast<double>(usage.ru_utime.tv_usec + usage.ru_stime.tv_usec) / 1e6;
}

double cpuSecondsOf(int who) {
  rusage usage{};
  getrusage(who, &usage);
  return cpuSeconds(usage);
}

// utime + stime of another process, from /proc/<pid>/stat (clock ticks).
double processCpuSeconds(pid_t pid) {
  std::ifstream stat("/proc/" + std::to_string(pid) + "/stat");
  std::string text((std::istreambuf_iterator<char>(stat)), std::istreambuf_iterator<char>());
  const auto end = text.rfind(')');
  if (end == std::string::npos) return 0;
  std::vector<std::string> fields;
  std::string field;
  for (char c : text.substr(end + 2)) {
    if (c == ' ') {
      fields.push_back(field);
      field.clear();
    } else {
      field += c;
    }
  }
  // After "pid (comm) ", field 0 is the state; utime and stime are fields 11 and 12.
  if (fields.size() < 13) return 0;
  return static_cast<double>(std::stoll(fields[11]) + std::stoll(fields[12])) /
         static_cast<double>(sysconf(_SC_CLK_TCK));
}

// The development service as a child process on free ports, ended with SIGTERM.
class ServiceProcess {
 public:
  ServiceProcess(const std::string& program, const std::string& filesRoot,
                 const std::string& stateDir) {
    int out[2];
    if (pipe2(out, O_CLOEXEC) != 0) throw std::runtime_error("pipe failed");
    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_adddup2(&actions, out[1], STDOUT_FILENO);
    posix_spawn_file_actions_addopen(&actions, STDERR_FILENO, "/dev/null", O_WRONLY, 0);
    std::vector<std::string> args = {program,   "--http",      "127.0.0.1:0",
                                     "--files", "127.0.0.1:0", "--files-root",
                                     filesRoot, "--state",     stateDir};
    std::vector<char*> argv;
    for (std::string& arg : args) argv.push_back(arg.data());
    argv.push_back(nullptr);
    const int rc = posix_spawn(&pid_, program.c_str(), &actions, nullptr, argv.data(), environ);
    posix_spawn_file_actions_destroy(&actions);
    close(out[1]);
    if (rc != 0) {
      close(out[0]);
      throw std::runtime_error("cannot start " + program);
    }
    const std::string line = readLine(out[0]);
    close(out[0]);
    httpPort_ = portAfter(line, "http=");
    filesPort_ = portAfter(line, "files=");
    if (httpPort_ <= 0 || filesPort_ <= 0) {
      end();
      throw std::runtime_error("unexpected first line of the service: " + line);
    }
  }
  ~ServiceProcess() { end(); }
  ServiceProcess(const ServiceProcess&) = delete;
  ServiceProcess& operator=(const ServiceProcess&) = delete;

  pid_t pid() const { return pid_; }
  int httpPort() const { return httpPort_; }
  int filesPort() const { return filesPort_; }

 private:
  void end() {
    kill(pid_, SIGTERM);
    int status = 0;
    waitpid(pid_, &status, 0);
  }
  static std::string readLine(int fd) {
    std::string line;
    const auto deadline = SteadyClock::now() + std::chrono::seconds(30);
    while (SteadyClock::now() < deadline) {
      pollfd waiting{fd, POLLIN, 0};
      if (poll(&waiting, 1, 100) <= 0) continue;
      char c = 0;
      if (read(fd, &c, 1) != 1 || c == '\n') break;
      line += c;
    }
    return line;
  }
  static int portAfter(const std::string& line, const std::string& key) {
    const auto at = line.find(key);
    if (at == std::string::npos) return 0;
    const auto colon = line.find(':', at);
    return colon == std::string::npos ? 0 : std::atoi(line.c_str() + colon + 1);
  }

  pid_t pid_ = -1;
  int httpPort_ = 0;
  int filesPort_ = 0;
};

void writeSampleFile(const std::string& path, std::int64_t bytes) {
  std::filesystem::create_directories(std::filesystem::path(path).parent_path());
  std::ofstream file(path, std::ios::binary);
  std::mt19937_64 random(64);
  std::vector<std::uint64_t> chunk(kMiB / sizeof(std::uint64_t));
  for (std::int64_t written = 0; written < bytes; written += kMiB) {
    for (auto& word : chunk) word = random();
    file.write(reinterpret_cast<const char*>(chunk.data()), kMiB);
  }
  if (!file.flush()) throw std::runtime_error("cannot write " + path);
}

struct Spread {
  double meanMs = 0;
  double medianMs = 0;
  double cpuUsPerSample = 0;  // CPU time of the measuring thread per sample
};

Spread spreadOf(std::vector<double> samplesMs) {
  std::sort(samplesMs.begin(), samplesMs.end());
  double sum = 0;
  for (double sample : samplesMs) sum += sample;
  return {sum / static_cast<double>(samplesMs.size()), samplesMs[samplesMs.size() / 2]};
}

// What the engine's pause of one round really lasts.
Spread measureRoundPause() {
  platform::SystemClock& clock = platform::SystemClock::instance();
  std::vector<double> samples;
  const double cpuBefore = cpuSecondsOf(RUSAGE_THREAD);
  for (int i = 0; i < kSleepSamples; ++i) {
    const auto start = SteadyClock::now();
    clock.sleepMs(1);
    samples.push_back(secondsSince(start) * 1e3);
  }
  Spread spread = spreadOf(samples);
  spread.cpuUsPerSample = (cpuSecondsOf(RUSAGE_THREAD) - cpuBefore) * 1e6 / kSleepSamples;
  return spread;
}

void sendAll(int fd, const std::string& frame) {
  if (send(fd, frame.data(), frame.size(), MSG_NOSIGNAL) != static_cast<ssize_t>(frame.size())) {
    throw std::runtime_error("send failed");
  }
}

void readExactly(int fd, char* buffer, std::size_t size) {
  for (std::size_t done = 0; done < size;) {
    const ssize_t n = recv(fd, buffer + done, size - done, 0);
    if (n <= 0) throw std::runtime_error("the file server closed the connection");
    done += static_cast<std::size_t>(n);
  }
}

std::string requestFrame(std::int64_t offset) {
  return knowledge::EncodeFrame(knowledge::EncodeDownloadRequest(
      kFileName, static_cast<std::int32_t>(offset), knowledge::StoreFileKind::Knowlege));
}

// A loopback connection to the file server, set up as the engine's socket (TCP_NODELAY, the
// kernel's buffer sizes); every frame leaves in one send.
class RawConnection {
 public:
  explicit RawConnection(int port) : fd_(socket(AF_INET, SOCK_STREAM | SOCK_CLOEXEC, IPPROTO_TCP)) {
    const int yes = 1;
    setsockopt(fd_, IPPROTO_TCP, TCP_NODELAY, &yes, sizeof yes);
    sockaddr_in address{};
    address.sin_family = AF_INET;
    address.sin_port = htons(static_cast<std::uint16_t>(port));
    address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    if (connect(fd_, reinterpret_cast<const sockaddr*>(&address), sizeof address) != 0) {
      close(fd_);
      throw std::runtime_error("cannot connect to the file server");
    }
  }
  ~RawConnection() {
    try {
      sendAll(fd_, knowledge::EncodeFrame(knowledge::EncodeStop()));
    } catch (const std::exception&) {
      // The server has gone; nothing to tell it.
    }
    close(fd_);
  }
  RawConnection(const RawConnection&) = delete;
  RawConnection& operator=(const RawConnection&) = delete;

  // Sends a request and reads its block frame.
  void request(std::int64_t offset, std::string& frame) {
    sendAll(fd_, requestFrame(offset));
    readExactly(fd_, frame.data(), frame.size());
  }
  void send(const std::string& frame) { sendAll(fd_, frame); }
  void read(std::string& frame) { readExactly(fd_, frame.data(), frame.size()); }

 private:
  int fd_;
};

// One request and its block frame, back to back, as fast as the server answers.
Spread measureRoundTrip(int port, std::int64_t fileBytes) {
  RawConnection connection(port);
  std::vector<double> samples;
  std::string frame(kBlockFrameBytes, '\0');
  const std::int64_t blocks = fileBytes / static_cast<std::int64_t>(kBlockBytes);
  for (int i = 0; i < kRoundTripSamples; ++i) {
    const auto start = SteadyClock::now();
    connection.request((i % blocks) * static_cast<std::int64_t>(kBlockBytes), frame);
    samples.push_back(secondsSince(start) * 1e3);
  }
  return spreadOf(samples);
}

// The least a client of this protocol does per block: one 1 ms pause, the request, the block
// frame, the data appended to a file. Its CPU time per MiB is the floor for the engine's.
double minimalClientCpuPerMiB(int port, const std::string& path, std::int64_t mebibytes) {
  RawConnection connection(port);
  const int file = open(path.c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_APPEND | O_CLOEXEC, 0644);
  if (file < 0) throw std::runtime_error("cannot write " + path);
  std::string frame(kBlockFrameBytes, '\0');
  platform::SystemClock& clock = platform::SystemClock::instance();
  const double cpuBefore = cpuSecondsOf(RUSAGE_THREAD);
  connection.send(requestFrame(0));
  for (std::int64_t offset = 0; offset < mebibytes * kMiB;) {
    clock.sleepMs(1);
    connection.read(frame);
    if (write(file, frame.data() + 20, kBlockBytes) != static_cast<ssize_t>(kBlockBytes)) {
      close(file);
      throw std::runtime_error("cannot write " + path);
    }
    offset += static_cast<std::int64_t>(kBlockBytes);
    if (offset < mebibytes * kMiB) connection.send(requestFrame(offset));
  }
  const double cpu = cpuSecondsOf(RUSAGE_THREAD) - cpuBefore;
  close(file);
  return cpu * 1e3 / static_cast<double>(mebibytes);
}

class EndRecorder : public platform::MessageTarget {
 public:
  void onMessage(platform::Message& message) override {
    if (auto* ended = message.payload.get<knowledge::DownloadEnded>()) {
      result = ended->Result;
      reason = ended->Reason;
    }
  }
  std::int32_t result = -1;
  std::u16string reason;
};

struct TransferFigures {
  double seconds = 0;
  double processCpuSeconds = 0;
  double windowThreadCpuSeconds = 0;
  double serverCpuSeconds = 0;
  bool identical = false;
};

TransferFigures runTransfer(const core::ZelkLibBinding& lib, const ServiceProcess& service,
                            const std::string& source, const std::string& target) {
  platform::HeadlessMessageLoop loop(platform::SystemClock::instance());
  EndRecorder recorder;
  const platform::WindowId window = loop.addTarget(recorder);
  std::vector<std::string> log;
  TransferFigures figures;
  {
    knowledge::DownloadEngine engine(core::ServiceContext{&lib, &loop, window},
                                     [&log](const std::string& line) { log.push_back(line); });
    const double processBefore = cpuSecondsOf(RUSAGE_SELF);
    const double windowBefore = cpuSecondsOf(RUSAGE_THREAD);
    const double serverBefore = processCpuSeconds(service.pid());
    const auto start = SteadyClock::now();
    engine.StartDownload(window, platform::Utf8ToUtf16(kFileName), platform::Utf8ToUtf16(target),
                         knowledge::StoreFileKind::Knowlege, knowledge::MakeFileServerQuery(lib),
                         5);
    if (!loop.waitIdle(3600 * 1000)) throw std::runtime_error("the transfer did not end");
    figures.seconds = secondsSince(start);
    figures.processCpuSeconds = cpuSecondsOf(RUSAGE_SELF) - processBefore;
    figures.windowThreadCpuSeconds = cpuSecondsOf(RUSAGE_THREAD) - windowBefore;
    figures.serverCpuSeconds = processCpuSeconds(service.pid()) - serverBefore;
  }
  if (recorder.result != knowledge::kDownloadResultFinished) {
    for (const std::string& line : log) std::fprintf(stderr, "%s\n", line.c_str());
    throw std::runtime_error("the transfer ended with " + std::to_string(recorder.result) + ": " +
                             platform::Utf16ToUtf8(recorder.reason));
  }
  std::ifstream a(source, std::ios::binary);
  std::ifstream b(target, std::ios::binary);
  figures.identical =
      std::equal(std::istreambuf_iterator<char>(a), std::istreambuf_iterator<char>(),
                 std::istreambuf_iterator<char>(b), std::istreambuf_iterator<char>());
  return figures;
}

int run(std::int64_t mebibytes) {
  const char* appDir = std::getenv("ZELK_APP_DIR");
  core::ZelkLibBinding lib(platform::DynamicLibrary::open(
      std::string(appDir != nullptr ? appDir : ".") + "/libZelkLib.so"));
  if (!lib.loaded()) {
    std::fprintf(stderr, "libZelkLib.so not found (set ZELK_APP_DIR)\n");
    return 1;
  }
  testing_support::TempDir temp;
  const std::string source = temp.file(std::string("files/Knowlege/") + kFileName);
  const std::int64_t bytes = mebibytes * kMiB;
  writeSampleFile(source, bytes);
  for (const char* store : {"App", "UserProfile", "Platform"}) {
    std::filesystem::create_directories(temp.file(std::string("files/") + store));
  }
  ServiceProcess service(ZELK_DEVSERVICE_PROGRAM, temp.file("files"), temp.file("state"));
  setenv("ZELK_SERVICE_HOST", ("127.0.0.1:" + std::to_string(service.httpPort())).c_str(), 1);
  lib.setProgramDirectory(platform::Utf8ToUtf16(temp.path()));

  const Spread pauseBefore = measureRoundPause();
  const Spread tripBefore = measureRoundTrip(service.filesPort(), bytes);
  const TransferFigures transfer =
      runTransfer(lib, service, source, temp.file(std::string("Downloads/") + kFileName));
  const Spread pauseAfter = measureRoundPause();
  const Spread tripAfter = measureRoundTrip(service.filesPort(), bytes);
  const double floorPerMiB = minimalClientCpuPerMiB(
      service.filesPort(), temp.file("minimal-client.bin"), std::min(mebibytes, kFloorMiB));

  const double pauseMs = (pauseBefore.meanMs + pauseAfter.meanMs) / 2;
  const double tripMs = (tripBefore.meanMs + tripAfter.meanMs) / 2;
  const double ceilingMBs = static_cast<double>(kBlockBytes) / ((pauseMs + tripMs) / 1e3) / 1e6;
  const double rateMBs = static_cast<double>(bytes) / transfer.seconds / 1e6;
  const double ratio = rateMBs / ceilingMBs;
  const auto perMiB = [&](double seconds) {
    return seconds * 1e3 / static_cast<double>(mebibytes);
  };
  const double processPerMiB = perMiB(transfer.processCpuSeconds);
  const double workerPerMiB = perMiB(transfer.processCpuSeconds - transfer.windowThreadCpuSeconds);

  std::printf("knowledge download of %lld MiB from the local file server (MB = 10^6 bytes)\n",
              static_cast<long long>(mebibytes));
  std::printf(
      "  1 ms pause of a round    mean %.4f ms, median %.4f ms (before); %.4f / %.4f (after)\n",
      pauseBefore.meanMs, pauseBefore.medianMs, pauseAfter.meanMs, pauseAfter.medianMs);
  std::printf(
      "  request/block round trip mean %.4f ms, median %.4f ms (before); %.4f / %.4f (after)\n",
      tripBefore.meanMs, tripBefore.medianMs, tripAfter.meanMs, tripAfter.medianMs);
  std::printf("  ceiling                  %.3f MB/s (4096 bytes per %.4f ms + %.4f ms)\n",
              ceilingMBs, pauseMs, tripMs);
  std::printf("  transfer                 %.2f s, %.3f MB/s, file %s\n", transfer.seconds, rateMBs,
              transfer.identical ? "identical" : "DIFFERENT");
  std::printf("  ratio to the ceiling     %.1f %% (target at least %.0f %%: %s)\n", ratio * 100,
              kCeilingTarget * 100, ratio >= kCeilingTarget ? "met" : "MISSED");
  std::printf("  CPU of this process      %.2f ms per MiB (target at most %.0f ms: %s)\n",
              processPerMiB, kCpuPerMiBTargetMs,
              processPerMiB <= kCpuPerMiBTargetMs ? "met" : "MISSED");
  std::printf("  CPU without window thread %.2f ms per MiB (engine worker and the address query)\n",
              workerPerMiB);
  std::printf("  CPU of the file server   %.2f ms per MiB (other process, for scale)\n",
              perMiB(transfer.serverCpuSeconds));
  const double pauseCpuUs = (pauseBefore.cpuUsPerSample + pauseAfter.cpuUsPerSample) / 2;
  std::printf("  CPU of one 1 ms pause    %.1f us, %.2f ms per MiB at %lld rounds per MiB\n",
              pauseCpuUs, pauseCpuUs * static_cast<double>(kMiB / kBlockBytes) / 1e3,
              static_cast<long long>(kMiB / kBlockBytes));
  std::printf(
      "  CPU of a minimal client  %.2f ms per MiB (pause, request, block, append; %lld MiB)\n",
      floorPerMiB, static_cast<long long>(std::min(mebibytes, kFloorMiB)));
  return transfer.identical ? 0 : 1;
}

}  // namespace

int main(int argc, char** argv) {
  std::int64_t mebibytes = kDefaultMiB;
  if (argc > 1) mebibytes = std::max<std::int64_t>(1, std::atoll(argv[1]));
  try {
    return run(mebibytes);
  } catch (const std::exception& error) {
    std::fprintf(stderr, "knowledge_download_bench: %s\n", error.what());
    return 1;
  }
}
