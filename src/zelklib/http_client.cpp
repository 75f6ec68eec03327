#include "zelklib/http_client.h"

#include <curl/curl.h>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdio>
#include <memory>
#include <mutex>

#include "zelklib/file_ops.h"

namespace zelklib {
namespace {

struct CurlCloser {
  void operator()(CURL* curl) const { curl_easy_cleanup(curl); }
};
struct HeaderListCloser {
  void operator()(curl_slist* list) const { curl_slist_free_all(list); }
};

void initialiseCurlOnce() {
  static std::once_flag once;
  std::call_once(once, [] { curl_global_init(CURL_GLOBAL_DEFAULT); });
}

// Where the body goes: memory (bounded) or a file descriptor.
struct Sink {
  std::string* memory = nullptr;
  int fd = -1;
  std::uint64_t received = 0;
  std::uint64_t limit = 0;
  bool failed = false;
};

std::size_t onBody(char* data, std::size_t size, std::size_t count, void* user) {
  auto& sink = *static_cast<Sink*>(user);
  const std::size_t bytes = size * count;
  sink.received += bytes;
  if (sink.received > sink.limit) {
    sink.failed = true;
    return 0;  // aborts the transfer
  }
  if (sink.memory != nullptr) {
    sink.memory->append(data, bytes);
    return bytes;
  }
  std::size_t done = 0;
  while (done < bytes) {
    const ssize_t n = write(sink.fd, data + done, bytes - done);
    if (n < 0 && errno == EINTR) continue;
    if (n <= 0) {
      sink.failed = true;
      return 0;
    }
    done += static_cast<std::size_t>(n);
  }
  return bytes;
}

// Keeps the reason phrase of the last status line (redirects bring several).
std::size_t onHeader(char* data, std::size_t size, std::size_t count, void* user) {
  auto& reason = *static_cast<std::string*>(user);
  const std::string_view line(data, size * count);
  if (line.starts_with("HTTP/")) {
    const auto first = line.find(' ');
    const auto second = first == std::string_view::npos ? first : line.find(' ', first + 1);
    reason.clear();
    if (second != std::string_view::npos) {
      std::string_view text = line.substr(second + 1);
      while (!text.empty() && (text.back() == '\r' || text.back() == '\n' || text.back() == ' ')) {
        text.remove_suffix(1);
      }
      reason = text;
    }
  }
  return size * count;
}

HttpReply perform(const std::string& url, const std::string* postBody, Sink& sink,
                  const HttpOptions& options) {
  initialiseCurlOnce();
  HttpReply reply;
  std::unique_ptr<CURL, CurlCloser> curl(curl_easy_init());
  if (!curl) {
    reply.error = "无法创建网络请求";
    return reply;
  }
  char errorText[CURL_ERROR_SIZE] = {};
  CURL* c = curl.get();
  curl_easy_setopt(c, CURLOPT_URL, url.c_str());
  curl_easy_setopt(c, CURLOPT_PROTOCOLS_STR, "http,https");
  curl_easy_setopt(c, CURLOPT_REDIR_PROTOCOLS_STR, "http,https");
  curl_easy_setopt(c, CURLOPT_FOLLOWLOCATION, 1L);
  curl_easy_setopt(c, CURLOPT_MAXREDIRS, 10L);
  curl_easy_setopt(c, CURLOPT_CONNECTTIMEOUT, options.connectTimeoutSeconds);
  curl_easy_setopt(c, CURLOPT_TIMEOUT, options.totalTimeoutSeconds);
  curl_easy_setopt(c, CURLOPT_NOSIGNAL, 1L);  // no SIGALRM in a multi-threaded client
  curl_easy_setopt(c, CURLOPT_ACCEPT_ENCODING, "");
  curl_easy_setopt(c, CURLOPT_USERAGENT, "Tamsel/3.1");
  curl_easy_setopt(c, CURLOPT_ERRORBUFFER, errorText);
  curl_easy_setopt(c, CURLOPT_WRITEFUNCTION, onBody);
  curl_easy_setopt(c, CURLOPT_WRITEDATA, &sink);
  curl_easy_setopt(c, CURLOPT_HEADERFUNCTION, onHeader);
  curl_easy_setopt(c, CURLOPT_HEADERDATA, &reply.reason);
  std::unique_ptr<curl_slist, HeaderListCloser> headers;
  if (postBody != nullptr) {
    headers.reset(curl_slist_append(
        nullptr, "Content-Type: application/x-www-form-urlencoded; charset=UTF-8"));
    curl_easy_setopt(c, CURLOPT_HTTPHEADER, headers.get());
    curl_easy_setopt(c, CURLOPT_POSTFIELDS, postBody->data());
    curl_easy_setopt(c, CURLOPT_POSTFIELDSIZE_LARGE, static_cast<curl_off_t>(postBody->size()));
  }
  const CURLcode result = curl_easy_perform(c);
  if (result != CURLE_OK) {
    reply.error = sink.failed && sink.received > sink.limit ? "回复内容过大"
                  : errorText[0] != '\0'                    ? errorText
                                                            : curl_easy_strerror(result);
    return reply;
  }
  reply.transferred = true;
  curl_easy_getinfo(c, CURLINFO_RESPONSE_CODE, &reply.status);
  const char* type = nullptr;
  if (curl_easy_getinfo(c, CURLINFO_CONTENT_TYPE, &type) == CURLE_OK && type != nullptr) {
    reply.contentType = type;
  }
  return reply;
}

}  // namespace

HttpReply HttpGet(const std::string& url, const HttpOptions& options) {
  std::string body;
  Sink sink{&body, -1, 0, options.maxBodyBytes, false};
  HttpReply reply = perform(url, nullptr, sink, options);
  reply.body = std::move(body);
  return reply;
}

HttpReply HttpPost(const std::string& url, const std::string& body, const HttpOptions& options) {
  std::string replyBody;
  Sink sink{&replyBody, -1, 0, options.maxBodyBytes, false};
  HttpReply reply = perform(url, &body, sink, options);
  reply.body = std::move(replyBody);
  return reply;
}

HttpReply HttpDownloadToFile(const std::string& url, const std::string& path,
                             const HttpOptions& options) {
  HttpReply reply;
  if (path.empty() || !EnsureParentFolder(path)) {
    reply.error = "无法创建保存文件的目录";
    return reply;
  }
  const auto slash = path.rfind('/');
  std::string temporary = (slash == std::string::npos ? std::string(".") : path.substr(0, slash)) +
                          "/.zelk-download-XXXXXX";
  const int fd = mkostemp(temporary.data(), O_CLOEXEC);
  if (fd < 0) {
    reply.error = "无法创建临时文件";
    return reply;
  }
  Sink sink{nullptr, fd, 0, options.maxBodyBytes, false};
  reply = perform(url, nullptr, sink, options);
  bool kept = reply.succeeded() && !sink.failed && fchmod(fd, 0644) == 0 && fsync(fd) == 0;
  kept = (close(fd) == 0) && kept;
  kept = kept && std::rename(temporary.c_str(), path.c_str()) == 0;
  if (!kept) {
    unlink(temporary.c_str());
    if (reply.succeeded()) {
      reply.transferred = false;
      reply.error = "无法保存文件";
    }
  }
  return reply;
}

std::string DescribeFailure(const HttpReply& reply) {
  if (!reply.transferred) return reply.error.empty() ? std::string("网络请求失败") : reply.error;
  return "HTTP " + std::to_string(reply.status) + " " +
         (reply.reason.empty() ? std::string("错误") : reply.reason);
}

}  // namespace zelklib
