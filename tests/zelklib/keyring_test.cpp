// The password in a real Secret Service: a private D-Bus session bus with gnome-keyring, both
// started by the test, and the same bus without a keyring.

#include <gio/gio.h>
#include <gtest/gtest.h>
#include <signal.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

#include <fcntl.h>

#include <chrono>
#include <filesystem>
#include <thread>

#include "support/temp_dir.h"
#include "zelklib/child_process.h"
#include "zelklib/password_vault.h"
#include "zelklib/settings_store.h"

namespace zelklib {
namespace {

// A child process started with its own environment (and, when given, a text on its standard
// input), killed and reaped when this goes.
class Daemon {
 public:
  Daemon(const std::string& program, std::vector<std::string> arguments,
         std::vector<std::string> environment, const std::string& input = {}) {
    int in[2];
    if (pipe(in) != 0) return;
    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_adddup2(&actions, in[0], 0);
    posix_spawn_file_actions_addclose(&actions, in[1]);
    posix_spawn_file_actions_addopen(&actions, 1, "/dev/null", O_WRONLY, 0);
    posix_spawn_file_actions_addopen(&actions, 2, "/dev/null", O_WRONLY, 0);
    std::vector<char*> argv{const_cast<char*>(program.c_str())};
    for (auto& argument : arguments) argv.push_back(argument.data());
    argv.push_back(nullptr);
    std::vector<char*> envp;
    for (auto& entry : environment) envp.push_back(entry.data());
    envp.push_back(nullptr);
    if (posix_spawn(&pid_, program.c_str(), &actions, nullptr, argv.data(), envp.data()) != 0)
      pid_ = -1;
    posix_spawn_file_actions_destroy(&actions);
    close(in[0]);
    const bool fed = input.empty() ||
                     write(in[1], input.data(), input.size()) == static_cast<ssize_t>(input.size());
    close(in[1]);
    fed_ = fed;
  }
  ~Daemon() {
    if (pid_ <= 0) return;
    kill(pid_, SIGTERM);
    waitpid(pid_, nullptr, 0);
  }
  Daemon(const Daemon&) = delete;
  Daemon& operator=(const Daemon&) = delete;
  bool started() const { return pid_ > 0 && fed_; }

 private:
  pid_t pid_ = -1;
  bool fed_ = false;
};

// Polls (bounded) until a name has an owner on the bus: the other process has started.
bool waitForBusName(GDBusConnection* bus, const char* name) {
  const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(10);
  while (std::chrono::steady_clock::now() < deadline) {
    GVariant* reply = g_dbus_connection_call_sync(
        bus, "org.freedesktop.DBus", "/org/freedesktop/DBus", "org.freedesktop.DBus",
        "NameHasOwner", g_variant_new("(s)", name), G_VARIANT_TYPE("(b)"), G_DBUS_CALL_FLAGS_NONE,
        1000, nullptr, nullptr);
    gboolean owned = FALSE;
    if (reply != nullptr) {
      g_variant_get(reply, "(b)", &owned);
      g_variant_unref(reply);
    }
    if (owned) return true;
    std::this_thread::sleep_for(std::chrono::milliseconds(20));
  }
  return false;
}

// One private bus for the whole program: GLib keeps a single session-bus connection per process.
class Keyring : public ::testing::Test {
 protected:
  static void SetUpTestSuite() {
    folder_ = new testing_support::TempDir;
    const auto dbus = FindProgram("dbus-daemon");
    if (!dbus) return;
    const std::string socket = folder_->file("bus");
    // No service folders: nothing is started on demand, so "no keyring" stays true.
    const std::string config =
        folder_->write("bus.conf", "<busconfig><type>session</type><listen>unix:path=" + socket +
                                       "</listen><auth>EXTERNAL</auth><policy "
                                       "context=\"default\"><allow send_destination=\"*\" "
                                       "eavesdrop=\"true\"/><allow eavesdrop=\"true\"/><allow "
                                       "own=\"*\"/></policy></busconfig>");
    bus_ = new Daemon(*dbus, {"--nofork", "--nopidfile", "--config-file=" + config},
                      {"PATH=/usr/bin:/bin"});
    address_ = "unix:path=" + socket;
    setenv("DBUS_SESSION_BUS_ADDRESS", address_.c_str(), 1);
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(10);
    while (connection_ == nullptr && std::chrono::steady_clock::now() < deadline) {
      connection_ = g_bus_get_sync(G_BUS_TYPE_SESSION, nullptr, nullptr);
      if (connection_ == nullptr) std::this_thread::sleep_for(std::chrono::milliseconds(20));
    }
    // The bus ends before this program does; that must not end the program.
    if (connection_ != nullptr) g_dbus_connection_set_exit_on_close(connection_, FALSE);
  }
  static void TearDownTestSuite() {
    unsetenv("DBUS_SESSION_BUS_ADDRESS");
    delete bus_;
    if (connection_ != nullptr) g_object_unref(connection_);
    delete folder_;
  }
  void SetUp() override {
    if (connection_ == nullptr) GTEST_SKIP() << "dbus-daemon is not installed";
    setenv("DBUS_SESSION_BUS_ADDRESS", address_.c_str(), 1);
  }

  static testing_support::TempDir* folder_;
  static Daemon* bus_;
  static std::string address_;
  static GDBusConnection* connection_;
  testing_support::TempDir dir_;
};

testing_support::TempDir* Keyring::folder_ = nullptr;
Daemon* Keyring::bus_ = nullptr;
std::string Keyring::address_;
GDBusConnection* Keyring::connection_ = nullptr;

TEST_F(Keyring, WithoutASecretServiceThePasswordIsSealedInTheFileAtOnce) {
  const auto started = std::chrono::steady_clock::now();
  SettingsStore store(dir_.path());
  store.saveLogin({"user", "pw-1", true, true});
  EXPECT_LT(std::chrono::steady_clock::now() - started, std::chrono::seconds(3));
  EXPECT_NE(dir_.read("Data/settings.json").find("sealed"), std::string::npos);
  EXPECT_EQ(store.loadLogin().password, "pw-1");
}

TEST_F(Keyring, AnUnlockedKeyringKeepsThePasswordOutOfTheFile) {
  const auto keyringDaemon = FindProgram("gnome-keyring-daemon");
  if (!keyringDaemon) GTEST_SKIP() << "gnome-keyring is not installed";
  const std::string home = dir_.file("home");
  std::filesystem::create_directories(home + "/run");
  std::filesystem::permissions(home + "/run", std::filesystem::perms::owner_all);
  Daemon keyring(*keyringDaemon, {"--foreground", "--unlock", "--components=secrets"},
                 {"PATH=/usr/bin:/bin", "HOME=" + home, "XDG_DATA_HOME=" + home + "/data",
                  "XDG_RUNTIME_DIR=" + home + "/run", "DBUS_SESSION_BUS_ADDRESS=" + address_},
                 "keyring-password");
  ASSERT_TRUE(keyring.started());
  ASSERT_TRUE(waitForBusName(connection_, "org.freedesktop.secrets"));

  const std::string program = dir_.file("app");
  SettingsStore store(program);
  store.saveLogin({"13800138000", "秘密-pw", true, true});
  const std::string file = dir_.read("app/Data/settings.json");
  EXPECT_NE(file.find("\"keyring\""), std::string::npos) << file;
  EXPECT_EQ(file.find("sealed"), std::string::npos);
  EXPECT_FALSE(std::filesystem::exists(dir_.file("app/Data/.key")));
  EXPECT_EQ(store.loadLogin().password, "秘密-pw");
  EXPECT_EQ(PasswordVault(program).lookup(), "秘密-pw");
  EXPECT_EQ(PasswordVault(dir_.file("another-app")).lookup(), std::nullopt)
      << "one entry per program folder";

  store.saveLogin({"13800138000", "", false, false});
  EXPECT_EQ(PasswordVault(program).lookup(), std::nullopt)
      << "forgetting the password clears the keyring";
}

}  // namespace
}  // namespace zelklib
