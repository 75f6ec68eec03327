#include "process_probe.h"

#include <dirent.h>
#include <poll.h>
#include <unistd.h>

#include <algorithm>
#include <cstdlib>
#include <fstream>
#include <iterator>
#include <map>
#include <sstream>

namespace bench {

using Steady = std::chrono::steady_clock;

Memory MemoryOf(int pid) {
  Memory memory;
  std::ifstream in("/proc/" + std::to_string(pid) + "/smaps_rollup");
  std::string line;
  // The first line names the range; then "Rss:   1234 kB" and so on.
  while (std::getline(in, line)) {
    std::istringstream fields(line);
    std::string key;
    long value = 0;
    if (!(fields >> key >> value)) continue;
    if (key == "Rss:") memory.rssKb = value;
    if (key == "Pss:") memory.pssKb = value;
  }
  return memory;
}

std::vector<int> Descendants(int pid) {
  std::map<int, std::vector<int>> children;
  if (DIR* proc = opendir("/proc")) {
    while (dirent* entry = readdir(proc)) {
      const int child = std::atoi(entry->d_name);
      if (child <= 0) continue;
      std::ifstream stat("/proc/" + std::to_string(child) + "/stat");
      std::string text((std::istreambuf_iterator<char>(stat)), {});
      const auto close = text.rfind(')');
      if (close == std::string::npos) continue;
      std::istringstream rest(text.substr(close + 2));
      char state;
      int parent = 0;
      rest >> state >> parent;
      children[parent].push_back(child);
    }
    closedir(proc);
  }
  std::vector<int> found;
  std::vector<int> pending = {pid};
  while (!pending.empty()) {
    const int current = pending.back();
    pending.pop_back();
    for (const int child : children[current]) {
      found.push_back(child);
      pending.push_back(child);
    }
  }
  return found;
}

bool ReadLine(int fd, std::string& line, Steady::time_point deadline) {
  line.clear();
  while (Steady::now() < deadline) {
    pollfd p{fd, POLLIN, 0};
    if (::poll(&p, 1, 50) <= 0) continue;
    char c;
    if (::read(fd, &c, 1) != 1) return false;
    if (c == '\n') return true;
    line += c;
  }
  return false;
}

double Median(std::vector<double> values) {
  if (values.empty()) return -1;
  std::sort(values.begin(), values.end());
  return values[values.size() / 2];
}

}  // namespace bench
