#include "devservice/router.h"

#include "devservice/hijack_switch.h"
#include "devservice/outage_switch.h"
#include "devservice/service_log.h"
#include "devservice/text_util.h"

namespace devservice {

namespace {

// Counting stops for new paths beyond this many, so that random paths cannot fill the memory.
constexpr std::size_t kMaxCountedPaths = 4096;

}  // namespace

void Router::add(const std::string& path, Handler handler) {
  exact_[NormalizeRequestPath(path)] = std::move(handler);
}

void Router::addPrefix(const std::string& prefix, Handler handler) {
  prefixes_.emplace_back(NormalizeRequestPath(prefix), std::move(handler));
}

std::vector<std::string> Router::paths() const {
  std::vector<std::string> paths;
  for (const auto& [path, handler] : exact_) paths.push_back(path);
  for (const auto& [prefix, handler] : prefixes_) paths.push_back(prefix + "*");
  return paths;
}

Reply Router::call(const Request& request) const {
  if (const auto found = exact_.find(request.path()); found != exact_.end()) {
    return found->second(request);
  }
  for (const auto& [prefix, handler] : prefixes_) {
    if (request.path().starts_with(prefix)) return handler(request);
  }
  return FailureReply("未知的接口: " + request.path(), 404);
}

int Router::requestCount(const std::string& path) const {
  std::lock_guard lock(countsMutex_);
  const auto found = counts_.find(NormalizeRequestPath(path));
  return found == counts_.end() ? 0 : found->second;
}

Reply Router::dispatch(const Request& request) const {
  {
    std::lock_guard lock(countsMutex_);
    if (counts_.size() < kMaxCountedPaths || counts_.contains(request.path()))
      ++counts_[request.path()];
  }
  if (outages_ != nullptr && outages_->take(request)) {
    log_.write("测试开关: " + request.path() + " 的请求被回复为服务暂时不可用");
    return FailureReply("服务暂时不可用", 503);
  }
  Reply reply;
  try {
    reply = call(request);
  } catch (const BadRequest& refused) {
    reply = FailureReply(refused.what());
  } catch (const std::exception& error) {
    log_.write("处理请求 " + request.path() + " 出现异常: " + error.what());
    reply = FailureReply("服务器内部错误", 500);
  } catch (...) {
    log_.write("处理请求 " + request.path() + " 出现未知异常");
    reply = FailureReply("服务器内部错误", 500);
  }
  if (hijack_.take(request.path())) {
    log_.write("测试开关: " + request.path() + " 的回复被替换为运营商劫持页面");
    reply = Reply{200, "text/html; charset=utf-8", HijackPage()};
  }
  return reply;
}

}  // namespace devservice
