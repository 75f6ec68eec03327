#include "core/updater_launcher.h"

#include <filesystem>
#include <system_error>

#include "core/app_directory.h"
#include "core/program_files.h"
#include "platform/code_page.h"

namespace core {
namespace {

std::u16string wide(const std::string& path) {
  return platform::Utf8ToUtf16(path);
}

// Copies a file over `target` through a temporary file in the target's folder and a rename, so
// that the target is the old or the new file at every moment (a program file may be running).
bool replaceFileWithCopy(const std::string& source, const std::string& target) {
  namespace fs = std::filesystem;
  std::error_code error;
  const std::string temporary = target + ".new";
  fs::copy_file(source, temporary, fs::copy_options::overwrite_existing, error);
  if (!error) fs::rename(temporary, target, error);
  if (error) {
    fs::remove(temporary, error);
    return false;
  }
  return true;
}

}  // namespace

UpdaterLauncher::UpdaterLauncher(const ZelkLibBinding& binding, platform::ShellLauncher& launcher,
                                 std::string appDirectory)
    : binding_(binding), launcher_(launcher), appDirectory_(std::move(appDirectory)) {}

void UpdaterLauncher::StartUpdater(bool skipIfRunning, const std::string& parameters) const {
  if (skipIfRunning && binding_.HasRunningInstance(wide(UpdaterProcessName()))) return;
  launcher_.open(
      {"open", JoinAppPath(appDirectory_, UpdaterProcessName()), parameters, appDirectory_});
}

void UpdaterLauncher::InstallWaitingUpdater() const {
  const std::string waiting = JoinAppPath(appDirectory_, WaitingUpdaterRelativePath());
  if (!binding_.FileExist(wide(waiting))) return;
  const std::string current = JoinAppPath(appDirectory_, UpdaterProcessName());
  if (binding_.FileExist(wide(current))) {
    replaceFileWithCopy(current, JoinAppPath(appDirectory_, OldUpdaterFileName()));
  }
  if (replaceFileWithCopy(waiting, current)) binding_.FileDelete(wide(waiting));
}

}  // namespace core
