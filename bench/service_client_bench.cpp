// Requests per second and latency of the client's GET road (support library, libcurl, the local
// service on loopback), one request at a time as a worker makes them, then with 8 workers.
#include <algorithm>
#include <chrono>
#include <cstdio>
#include <thread>
#include <vector>

#include "net/endpoints.h"
#include "net/service_requests.h"
#include "net/service_transfer.h"
#include "support/local_service.h"

namespace {

using Clock = std::chrono::steady_clock;

double run(const core::ZelkLibBinding& lib, const std::u16string& url, int count,
           std::vector<double>& latenciesMs) {
  const auto start = Clock::now();
  for (int i = 0; i < count; ++i) {
    const auto before = Clock::now();
    std::string reply;
    if (!net::GetServiceContent(lib, url, reply)) std::fprintf(stderr, "request failed\n");
    latenciesMs.push_back(std::chrono::duration<double, std::milli>(Clock::now() - before).count());
  }
  return std::chrono::duration<double>(Clock::now() - start).count();
}

void report(const char* what, int requests, double seconds, std::vector<double> latenciesMs) {
  std::sort(latenciesMs.begin(), latenciesMs.end());
  std::printf("%-28s %6d requests  %8.0f requests/s  median %.3f ms  p99 %.3f ms\n", what, requests,
              requests / seconds, latenciesMs[latenciesMs.size() / 2],
              latenciesMs[latenciesMs.size() * 99 / 100]);
}

}  // namespace

int main() {
  net_testing::LocalService local;
  if (!local.lib().loaded()) {
    std::fprintf(stderr, "libZelkLib.so not found (set ZELK_APP_DIR)\n");
    return 1;
  }
  const std::u16string url = *net::ServiceRequestUrl(local.lib(), net::endpoints::kNews, {10});
  std::vector<double> warmup;
  run(local.lib(), url, 50, warmup);

  constexpr int kSerial = 2000;
  std::vector<double> serial;
  const double serialSeconds = run(local.lib(), url, kSerial, serial);
  report("news, one worker", kSerial, serialSeconds, serial);

  constexpr int kWorkers = 8;
  constexpr int kEach = 300;
  std::vector<std::vector<double>> perWorker(kWorkers);
  const auto start = Clock::now();
  std::vector<std::thread> workers;
  for (int w = 0; w < kWorkers; ++w) {
    workers.emplace_back([&, w] { run(local.lib(), url, kEach, perWorker[w]); });
  }
  for (auto& worker : workers) worker.join();
  const double seconds = std::chrono::duration<double>(Clock::now() - start).count();
  std::vector<double> all;
  for (const auto& list : perWorker) all.insert(all.end(), list.begin(), list.end());
  report("news, 8 workers at once", kWorkers * kEach, seconds, all);
  return 0;
}
