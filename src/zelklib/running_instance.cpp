#include "zelklib/running_instance.h"

#include "platform/dynamic_library.h"
#include "platform/instance_channel.h"
#include "platform/process.h"

namespace zelklib {

std::vector<std::string> ProgramFileNameCandidates(const std::string& processFileName) {
  std::vector<std::string> names;
  if (processFileName.empty() || processFileName.find('/') != std::string::npos) return names;
  names.push_back(processFileName);
  constexpr std::string_view kWindowsSuffix = ".exe";
  if (std::string_view(platform::kExeSuffix).empty() &&
      processFileName.size() > kWindowsSuffix.size() && processFileName.ends_with(kWindowsSuffix)) {
    names.push_back(processFileName.substr(0, processFileName.size() - kWindowsSuffix.size()));
  }
  return names;
}

bool IsInstanceRunning(const std::string& processFileName) {
  for (const auto& name : ProgramFileNameCandidates(processFileName)) {
    if (!platform::FindSessionProcessesByFileName(name).empty()) return true;
  }
  return false;
}

bool SendToRunningInstance(const std::string& processFileName, std::uint32_t message,
                           const std::string& utf8Text) {
  for (const auto& name : ProgramFileNameCandidates(processFileName)) {
    if (platform::SendInstanceMessage(name, message, utf8Text)) return true;
  }
  return false;
}

}  // namespace zelklib
