#pragma once

#include <cstdint>
#include <string>
#include <vector>

namespace zelklib {

// The names a program file may be asked for by: the client may pass the Windows form
// ("Zelk.exe"), which here is the file "Zelk".
std::vector<std::string> ProgramFileNameCandidates(const std::string& processFileName);

// Another process of this user and session runs a program file of that name.
bool IsInstanceRunning(const std::string& processFileName);
// Delivers a message to the running instance's listener; true when it was accepted.
bool SendToRunningInstance(const std::string& processFileName, std::uint32_t message,
                           const std::string& utf8Text);

}  // namespace zelklib
