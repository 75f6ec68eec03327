#include "skinui/automation_server.h"

#include <fcntl.h>
#include <poll.h>
#include <sys/socket.h>
#include <sys/stat.h>
#include <sys/un.h>
#include <unistd.h>

#include <cerrno>
#include <chrono>
#include <cstdlib>
#include <cstring>
#include <functional>
#include <future>
#include <optional>

#include <json/json.h>

#include "platform/alternate_signal_stack.h"
#include "skinui/automation_commands.h"
#include "skinui/ui_context.h"

namespace skinui {

namespace {

constexpr std::uint32_t kExecuteRequest = 1;

struct PendingRequest {
  Json::Value request;
  std::promise<std::string> answer;
};

std::string ErrorLine(const std::string& message) {
  Json::Value value;
  value["ok"] = false;
  value["error"] = message;
  return WriteJsonLine(value);
}

// Puts an observer of the loop's waits in place while it lives, and the earlier one back.
class WaitObserverScope {
 public:
  WaitObserverScope(platform::MessageLoop& loop, std::function<void()> observer)
      : loop_(loop), previous_(loop.exchangeWaitObserver(std::move(observer))) {}
  ~WaitObserverScope() { loop_.exchangeWaitObserver(std::move(previous_)); }
  WaitObserverScope(const WaitObserverScope&) = delete;
  WaitObserverScope& operator=(const WaitObserverScope&) = delete;

 private:
  platform::MessageLoop& loop_;
  std::function<void()> previous_;
};

// Runs one request on the window thread and answers it when it ends, or, for a request that
// acts as the user, as soon as a wait begins inside it. A user's click that opens a waiting box
// returns only once the box is answered, and the user sees the box meanwhile; so does the
// client: it has its answer, the connection reads the next request and the wait delivers it (a
// nested wait pumps posted messages).
void Execute(UiContext& context, PendingRequest& pending) {
  bool answered = false;
  const auto answer = [&](const std::string& line) {
    if (answered) return false;
    answered = true;
    pending.answer.set_value(line);
    return true;
  };
  std::string line;
  std::optional<std::string> failure;
  {
    std::function<void()> answerOk;
    if (AnswersWhenAWaitBegins(pending.request)) {
      answerOk = [&] {
        Json::Value ok;
        ok["ok"] = true;
        answer(WriteJsonLine(ok));
      };
    }
    const WaitObserverScope early(context.Loop(), std::move(answerOk));
    try {
      line = WriteJsonLine(RunAutomationCommand(context, pending.request));
    } catch (const std::exception& e) {
      failure = e.what();
    } catch (...) {
      failure = "the request ended by an unknown exception";
    }
  }
  if (failure) line = ErrorLine(*failure);
  if (!answer(line) && failure) {
    context.Log("automation: '" + pending.request["cmd"].asString() +
                "' failed after its answer: " + *failure);
  }
}

bool WriteAll(int fd, const std::string& text) {
  std::size_t done = 0;
  while (done < text.size()) {
    const ssize_t n = ::send(fd, text.data() + done, text.size() - done, MSG_NOSIGNAL);
    if (n < 0 && errno == EINTR) continue;
    if (n <= 0) return false;
    done += static_cast<std::size_t>(n);
  }
  return true;
}

}  // namespace

struct AutomationServer::Connection {
  int fd = -1;  // -1 once the connection closed it (under the server's mutex)
  std::thread thread;
  bool finished = false;
};

AutomationServer::AutomationServer(UiContext& context) : context_(context) {
  id_ = context_.Loop().addTarget(*this);
}

AutomationServer::~AutomationServer() {
  Stop();
  context_.Loop().removeTarget(id_);
}

std::unique_ptr<AutomationServer> AutomationServer::StartFromEnvironment(UiContext& context) {
  const char* path = std::getenv("ZELK_AUTOMATION");
  if (path == nullptr || *path == '\0') return nullptr;
  auto server = std::make_unique<AutomationServer>(context);
  std::string error;
  if (!server->Start(path, error)) {
    context.Log("automation cannot listen at " + std::string(path) + ": " + error);
    return nullptr;
  }
  return server;
}

bool AutomationServer::Start(const std::string& path, std::string& error) {
  sockaddr_un address{};
  address.sun_family = AF_UNIX;
  if (path.empty() || path.size() >= sizeof(address.sun_path)) {
    error = "path empty or too long for a socket";
    return false;
  }
  std::memcpy(address.sun_path, path.c_str(), path.size() + 1);
  struct stat info {};
  if (::lstat(path.c_str(), &info) == 0) {
    if (!S_ISSOCK(info.st_mode)) {
      error = "a file that is not a socket is in the way";
      return false;
    }
    ::unlink(path.c_str());
  }
  listenFd_ = ::socket(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC, 0);
  if (listenFd_ < 0) {
    error = std::strerror(errno);
    return false;
  }
  // The mode is set before anyone can connect that matters: the peer check covers the rest.
  ::fchmod(listenFd_, 0600);
  if (::bind(listenFd_, reinterpret_cast<sockaddr*>(&address), sizeof address) != 0 ||
      ::chmod(path.c_str(), 0600) != 0 || ::listen(listenFd_, 8) != 0 ||
      ::pipe2(wakeFds_, O_CLOEXEC) != 0) {
    error = std::strerror(errno);
    ::close(listenFd_);
    listenFd_ = -1;
    return false;
  }
  path_ = path;
  stopping_ = false;
  acceptThread_ = std::thread([this] {
    // Every thread gets its own signal stack, so that a crash on it still leaves a dump.
    const platform::AlternateSignalStack signalStack;
    AcceptLoop();
  });
  return true;
}

void AutomationServer::AcceptLoop() {
  for (;;) {
    pollfd fds[2] = {{listenFd_, POLLIN, 0}, {wakeFds_[0], POLLIN, 0}};
    if (::poll(fds, 2, -1) < 0) {
      if (errno == EINTR) continue;
      return;
    }
    if (stopping_ || (fds[1].revents & POLLIN)) return;
    if ((fds[0].revents & POLLIN) == 0) continue;
    const int fd = ::accept4(listenFd_, nullptr, nullptr, SOCK_CLOEXEC);
    if (fd < 0) continue;
    ucred peer{};
    socklen_t length = sizeof peer;
    if (::getsockopt(fd, SOL_SOCKET, SO_PEERCRED, &peer, &length) != 0 || peer.uid != ::geteuid()) {
      ::close(fd);
      continue;
    }
    auto connection = std::make_shared<Connection>();
    connection->fd = fd;
    std::lock_guard lock(mutex_);
    if (stopping_) {
      ::close(fd);
      return;
    }
    // Connections that ended are reaped here, so a long session does not gather threads.
    std::erase_if(connections_, [](const std::shared_ptr<Connection>& c) {
      if (!c->finished) return false;
      c->thread.join();
      return true;
    });
    connections_.push_back(connection);
    connection->thread = std::thread([this, connection] {
      const platform::AlternateSignalStack signalStack;
      Serve(connection);
      std::lock_guard done(mutex_);
      ::close(connection->fd);
      connection->fd = -1;
      connection->finished = true;
    });
  }
}

void AutomationServer::Serve(std::shared_ptr<Connection> connection) {
  std::string buffer;
  char chunk[65536];
  for (;;) {
    std::size_t newline;
    while ((newline = buffer.find('\n')) != std::string::npos) {
      std::string line = buffer.substr(0, newline);
      buffer.erase(0, newline + 1);
      if (!line.empty() && line.back() == '\r') line.pop_back();
      if (line.empty()) continue;
      {
        std::lock_guard lock(mutex_);
        ++inFlight_;
      }
      const bool written = WriteAll(connection->fd, Answer(line));
      {
        std::lock_guard lock(mutex_);
        --inFlight_;
      }
      idle_.notify_all();
      if (!written) return;
    }
    if (buffer.size() > kMaxRequestBytes) {
      // The rest of the line cannot be trusted to end anywhere: answer and hang up.
      WriteAll(connection->fd, ErrorLine("request longer than 1 MiB"));
      ::shutdown(connection->fd, SHUT_RDWR);
      return;
    }
    const ssize_t n = ::recv(connection->fd, chunk, sizeof chunk, 0);
    if (n < 0 && errno == EINTR) continue;
    if (n <= 0) return;
    buffer.append(chunk, static_cast<std::size_t>(n));
  }
}

std::string AutomationServer::Answer(const std::string& line) {
  if (line.size() > kMaxRequestBytes) return ErrorLine("request longer than 1 MiB");
  Json::CharReaderBuilder builder;
  std::unique_ptr<Json::CharReader> reader(builder.newCharReader());
  auto pending = std::make_unique<PendingRequest>();
  std::string parseError;
  try {
    if (!reader->parse(line.data(), line.data() + line.size(), &pending->request, &parseError)) {
      return ErrorLine("request is not JSON: " + parseError);
    }
  } catch (const std::exception& e) {
    // jsoncpp raises instead of answering false for some inputs (nesting too deep).
    return ErrorLine(std::string("request is not JSON: ") + e.what());
  }
  if (!pending->request.isObject()) return ErrorLine("request is not a JSON object");
  std::future<std::string> answer = pending->answer.get_future();
  context_.Loop().post(id_, kExecuteRequest, platform::Payload(std::move(pending)));
  try {
    return answer.get();
  } catch (const std::future_error&) {
    return ErrorLine("the program is ending");
  }
}

void AutomationServer::onMessage(platform::Message& message) {
  if (message.message != kExecuteRequest) return;
  std::unique_ptr<PendingRequest> pending = message.payload.take<PendingRequest>();
  if (!pending) return;
  Execute(context_, *pending);
}

void AutomationServer::Stop() {
  if (listenFd_ < 0) return;
  stopping_ = true;
  // Requests still queued are dropped with their promise: their connections answer an error.
  context_.Loop().removeTarget(id_);
  {
    std::unique_lock lock(mutex_);
    idle_.wait_for(lock, std::chrono::seconds(2), [this] { return inFlight_ == 0; });
  }
  const char wake = 1;
  [[maybe_unused]] const ssize_t ignored = ::write(wakeFds_[1], &wake, 1);
  if (acceptThread_.joinable()) acceptThread_.join();
  std::vector<std::shared_ptr<Connection>> connections;
  {
    std::lock_guard lock(mutex_);
    for (const auto& connection : connections_) {
      if (connection->fd >= 0) ::shutdown(connection->fd, SHUT_RDWR);
    }
    connections = std::move(connections_);
    connections_.clear();
  }
  for (auto& connection : connections) connection->thread.join();
  ::close(listenFd_);
  ::close(wakeFds_[0]);
  ::close(wakeFds_[1]);
  listenFd_ = wakeFds_[0] = wakeFds_[1] = -1;
  ::unlink(path_.c_str());
}

}  // namespace skinui
