#include "devservice/dev_service.h"

#include <httplib.h>

#include <sys/socket.h>

#include <chrono>
#include <stdexcept>

#include "devservice/app_handlers.h"
#include "devservice/auth_handlers.h"
#include "devservice/catalogue.h"
#include "devservice/connection_drop_plan.h"
#include "devservice/file_server.h"
#include "devservice/home_handlers.h"
#include "devservice/knowledge_handlers.h"
#include "devservice/page_handlers.h"
#include "devservice/router.h"
#include "devservice/service_context.h"
#include "devservice/static_handlers.h"
#include "devservice/test_switch_handlers.h"
#include "devservice/update_handlers.h"
#include "platform/paths.h"

namespace devservice {

namespace {

// Larger bodies are refused by the server library before a handler sees them.
constexpr std::size_t kMaxBodyBytes = 1024 * 1024;
constexpr auto kStartTimeout = std::chrono::seconds(10);

Request ToRequest(const httplib::Request& request) {
  std::multimap<std::string, std::string> params(request.params.begin(), request.params.end());
  return Request(request.method, request.path, std::move(params), request.body,
                 request.get_header_value("Host"));
}

void Send(const Reply& reply, httplib::Response& response) {
  response.status = reply.status;
  response.set_content(reply.body, reply.contentType.c_str());
  // Pages and replies are never cached: the client adds a random argument for the same end.
  response.set_header("Cache-Control", "no-cache");
}

}  // namespace

DevService::DevService(ServiceOptions options, platform::Clock& clock, bool echoLog)
    : options_(std::move(options)), clock_(clock) {
  log_ = std::make_unique<ServiceLog>(platform::JoinPath(options_.stateDir, "devservice.log"),
                                      echoLog);
  catalogue_ = std::make_unique<Catalogue>(Catalogue::Load(options_.dataDir));
  opener_ = std::make_unique<SealedBoxOpener>(SealedBoxOpener::FromKeyFolder(options_.keyDir));
  pages_ = std::make_unique<PageRenderer>(options_.dataDir);
  state_ = std::make_unique<StateStore>(options_.stateDir, *catalogue_, clock_, *log_);
  hijack_ = std::make_unique<HijackSwitch>();
  upgrades_ = std::make_unique<AppUpgradeSwitch>();
  fileServer_ = std::make_unique<FileServerAddress>();
  fileDrops_ = std::make_unique<ConnectionDropPlan>();
  filePace_ = std::make_unique<FileTransferPace>();
  fileRequests_ = std::make_unique<FileRequestLog>();
  outages_ = std::make_unique<OutageSwitch>();
  context_ = std::make_unique<ServiceContext>(ServiceContext{
      options_, *catalogue_, *state_, *opener_, *pages_, *hijack_, *upgrades_, *fileServer_,
      *fileDrops_, *filePace_, *fileRequests_, *outages_, *log_, clock_});
  router_ = std::make_unique<Router>(*hijack_, *log_, outages_.get());
  AddAuthHandlers(*router_, *context_);
  AddKnowledgeHandlers(*router_, *context_);
  AddAppHandlers(*router_, *context_);
  AddHomeHandlers(*router_, *context_);
  AddPageHandlers(*router_, *context_);
  AddStaticHandlers(*router_, *context_);
  AddUpdateHandlers(*router_, *context_);
  AddTestSwitchHandlers(*router_, *context_);

  if (options_.files) {
    FileServerSettings settings;
    settings.address = *options_.files;
    settings.root = options_.filesRoot;
    settings.codeset = options_.filesCodeset;
    settings.pace = filePace_.get();
    settings.requests = fileRequests_.get();
    files_ = std::make_unique<FileServer>(std::move(settings), *log_, *fileDrops_);
  }
}

DevService::~DevService() {
  stop();
}

int DevService::start() {
  if (server_) throw std::logic_error("the service is already started");
  if (files_) {
    filesAddress_ = files_->start();
    fileServer_->set(filesAddress_);
  }
  server_ = std::make_unique<httplib::Server>();
  server_->set_payload_max_length(kMaxBodyBytes);
  // The library's default sets SO_REUSEPORT, with which a second service binds the same port
  // and the kernel splits the requests between the two. SO_REUSEADDR alone still allows a
  // restart while old connections linger, but refuses a port that is in use.
  server_->set_socket_options([](socket_t socket) {
    const int yes = 1;
    setsockopt(socket, SOL_SOCKET, SO_REUSEADDR, &yes, sizeof yes);
  });
  const auto handle = [this](const httplib::Request& request, httplib::Response& response) {
    Send(router_->dispatch(ToRequest(request)), response);
  };
  server_->Get(".*", handle);
  server_->Post(".*", handle);
  // Errors the server library answers itself (request line too long, body too large, other
  // methods) get the service's failure reply too.
  const httplib::Server::HandlerWithResponse answerError = [](const httplib::Request&,
                                                              httplib::Response& response) {
    if (!response.body.empty()) return httplib::Server::HandlerResponse::Unhandled;
    Send(FailureReply("无效的请求", response.status), response);
    return httplib::Server::HandlerResponse::Handled;
  };
  server_->set_error_handler(answerError);

  const HostPort& http = options_.http;
  httpPort_ = http.port == 0 ? server_->bind_to_any_port(http.host)
                             : (server_->bind_to_port(http.host, http.port) ? http.port : -1);
  if (httpPort_ <= 0) {
    server_.reset();
    httpPort_ = 0;
    stop();
    throw std::runtime_error("cannot listen on " + http.text());
  }
  serverThread_ = std::thread([this] { server_->listen_after_bind(); });
  // The library offers no "ready" signal in this version: stop() before the loop runs would be
  // lost, so wait until it reports running.
  const auto deadline = std::chrono::steady_clock::now() + kStartTimeout;
  while (!server_->is_running() && std::chrono::steady_clock::now() < deadline) {
    std::this_thread::sleep_for(std::chrono::milliseconds(1));
  }
  if (!server_->is_running()) {
    stop();
    throw std::runtime_error("the HTTP server did not start");
  }
  log_->write("服务已启动: http://" + http.host + ":" + std::to_string(httpPort_) + "/");
  return httpPort_;
}

void DevService::stop() {
  if (server_) {
    server_->stop();
    if (serverThread_.joinable()) serverThread_.join();
    server_.reset();
  }
  if (files_) files_->stop();
  if (filesAddress_) {
    filesAddress_.reset();
    fileServer_->set(std::nullopt);
  }
}

std::string DevService::boundAddressLine() const {
  return "zelk-devservice http=" + options_.http.host + ":" + std::to_string(httpPort_) +
         " files=" + (filesAddress_ ? filesAddress_->text() : std::string("-"));
}

void DevService::setFileServerAddress(std::optional<HostPort> address) {
  fileServer_->set(std::move(address));
}

}  // namespace devservice
