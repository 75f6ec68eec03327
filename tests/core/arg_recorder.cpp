// Stands in for another program of the product (the updater, or the client when the updater
// starts it): records how it was started in "<own file name>.args" beside itself (working
// folder on the first line, then one argument per line) and ends.

#include <unistd.h>

#include <climits>
#include <cstdio>
#include <string>

#include "platform/paths.h"

int main(int argc, char** argv) {
  char cwd[PATH_MAX] = {};
  if (getcwd(cwd, sizeof cwd) == nullptr) cwd[0] = '\0';
  std::string content = std::string(cwd) + "\n";
  for (int i = 1; i < argc; ++i) content += std::string(argv[i]) + "\n";
  const std::string target =
      platform::JoinPath(platform::ProgramDirectory(), platform::ProgramFileName() + ".args");
  return platform::WriteFileAtomically(target, content) ? 0 : 1;
}
