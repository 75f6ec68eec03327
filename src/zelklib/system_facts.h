#pragma once

#include <string>
#include <string_view>

namespace zelklib {

// "Debian GNU/Linux 12 (bookworm) (Linux 6.1.0-18-amd64 x86_64)": the distribution's pretty
// name from os-release and the kernel.
std::string OperatingSystemName();
// PRETTY_NAME of an os-release text (quotes removed); empty when it has none.
std::string PrettyNameFromOsRelease(std::string_view osRelease);

// The hardware address of the first network interface that is not a loopback and has one,
// written as Windows does ("00-1A-2B-3C-4D-5E"); empty when there is none.
std::string FirstMacAddress();
std::string FormatMacAddress(const unsigned char* bytes, std::size_t length);

std::string ComputerName();
// The version of the web engine the client embeds (WebKitGTK), as the build found it.
std::string WebEngineVersion();
// The system (not only this process) runs a 64-bit kernel.
bool Is64BitSystem();

}  // namespace zelklib
