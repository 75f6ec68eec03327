#pragma once

#include <chrono>
#include <string>
#include <vector>

namespace bench {

// What the start-up benchmarks read of the processes they start.

// Resident and proportional set size of a process, in kB (0 when it is gone).
struct Memory {
  long rssKb = 0;
  long pssKb = 0;
};
Memory MemoryOf(int pid);

// Every process below `pid` (the web and network processes of WebKit).
std::vector<int> Descendants(int pid);

// Reads one line from a child's pipe, waiting at most until `deadline`.
bool ReadLine(int fd, std::string& line, std::chrono::steady_clock::time_point deadline);

// The median, -1 for no values.
double Median(std::vector<double> values);

}  // namespace bench
