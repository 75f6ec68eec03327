#include "platform/user_data_directory.h"

#include <gtest/gtest.h>
#include <sys/stat.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <optional>
#include <string>

#include "support/temp_dir.h"

namespace platform {
namespace {

namespace fs = std::filesystem;

// Sets an environment variable for one test and puts the old value back.
class ScopedVariable {
 public:
  ScopedVariable(const char* name, const char* value) : name_(name) {
    if (const char* old = std::getenv(name)) old_ = old;
    value != nullptr ? setenv(name, value, 1) : unsetenv(name);
  }
  ~ScopedVariable() { old_ ? setenv(name_, old_->c_str(), 1) : unsetenv(name_); }

 private:
  const char* name_;
  std::optional<std::string> old_;
};

// A copy without the marker keeps its state inside itself; an installation uses the user's data
// folder, made private when it is new, and a relative XDG_DATA_HOME is ignored as the desktop's
// conventions say.
TEST(UserDataDirectory, OnlyAnInstallationMovesTheStateIntoTheUsersDataFolder) {
  const testing_support::TempDir dir;
  const std::string app = dir.file("app");
  fs::create_directories(app);
  const ScopedVariable home("HOME", dir.file("home").c_str());
  const ScopedVariable relative("XDG_DATA_HOME", "relative/data");
  EXPECT_EQ(UserDataDirectory(app), app);
  EXPECT_FALSE(fs::exists(dir.file("home")));

  fs::create_directories(app + "/installed");
  EXPECT_EQ(UserDataDirectory(app), app) << "a folder of that name is no marker";
  fs::remove(app + "/installed");
  std::ofstream(app + "/installed") << "/prefix/lib/tamsel/installed\n";
  EXPECT_EQ(UserDataDirectory(app), dir.file("home") + "/.local/share/Tamsel");

  const ScopedVariable absolute("XDG_DATA_HOME", dir.file("data").c_str());
  const std::string state = UserDataDirectory(app);
  EXPECT_EQ(state, dir.file("data") + "/Tamsel");
  struct stat info {};
  ASSERT_EQ(stat(state.c_str(), &info), 0);
  EXPECT_EQ(info.st_mode & 0777, 0700u);
}

}  // namespace
}  // namespace platform
