// Feeds arbitrary bytes as a zip archive to the support library's extraction (what UnZipFile
// runs), into a fresh target folder per input inside a sandbox, and checks what it leaves:
// nothing outside the target folder (no escaped entry, no temporary folder left over), only
// plain files and folders inside it, and nothing at all when it reports failure.

#include <stdlib.h>
#include <unistd.h>

#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <string>

#include "zelklib/archive_extractor.h"

namespace fs = std::filesystem;

namespace {

// Small bounds, so that a crafted archive cannot fill the disk while being fuzzed; the checks
// against them run the same way as with the library's defaults.
constexpr zelklib::ExtractLimits kLimits{4u << 20, 2000, 256u << 10, 200};

// <sandbox>/input.zip and the target <sandbox>/a/b/out. The extraction's temporary folder goes
// above the target, so escapes and leftovers show up inside the sandbox.
class Sandbox {
 public:
  Sandbox() {
    const char* tmp = std::getenv("TMPDIR");
    std::string pattern =
        std::string(tmp != nullptr && *tmp != '\0' ? tmp : "/tmp") + "/zelk-archive-fuzz-XXXXXX";
    if (mkdtemp(pattern.data()) == nullptr) std::abort();
    root_ = pattern;
    fs::create_directories(root_ / "a" / "b");
  }
  ~Sandbox() {
    std::error_code ignored;
    fs::remove_all(root_, ignored);
  }

  fs::path archive() const { return root_ / "input.zip"; }
  fs::path target() const { return root_ / "a" / "b" / "out"; }

  // Every entry of the sandbox is one of its own or inside the target, and no entry anywhere
  // is a link, a device or a pipe.
  void check() const {
    for (auto it = fs::recursive_directory_iterator(root_);
         it != fs::recursive_directory_iterator(); ++it) {
      const fs::path& path = it->path();
      const fs::file_status status = fs::symlink_status(path);
      if (status.type() != fs::file_type::regular && status.type() != fs::file_type::directory) {
        std::fprintf(stderr, "not a plain entry: %s\n", path.c_str());
        std::abort();
      }
      if (path == archive() || path == root_ / "a" || path == root_ / "a" / "b" ||
          path == target()) {
        continue;
      }
      const std::string inside = target().string() + "/";
      if (path.string().rfind(inside, 0) != 0) {
        std::fprintf(stderr, "outside the target: %s\n", path.c_str());
        std::abort();
      }
    }
  }

  void clean() const {
    std::error_code ignored;
    fs::remove_all(target(), ignored);
    fs::remove(archive(), ignored);
  }

 private:
  fs::path root_;
};

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  static const Sandbox sandbox;
  {
    std::ofstream file(sandbox.archive(), std::ios::binary | std::ios::trunc);
    file.write(reinterpret_cast<const char*>(data), static_cast<std::streamsize>(size));
  }
  const bool extracted =
      zelklib::ExtractArchive(sandbox.archive().string(), sandbox.target().string(), kLimits);
  sandbox.check();
  if (!extracted && fs::exists(fs::symlink_status(sandbox.target()))) {
    std::fprintf(stderr, "a refused archive left its target folder behind\n");
    std::abort();
  }
  sandbox.clean();
  return 0;
}
