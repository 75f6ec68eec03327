#include "zelklib/scheme_handler.h"

#include <cctype>
#include <cstdlib>
#include <filesystem>
#include <sstream>
#include <vector>

#include "platform/dynamic_library.h"
#include "platform/paths.h"
#include "zelklib/child_process.h"
#include "zelklib/file_ops.h"

namespace zelklib {
namespace {

constexpr const char* kDefaultGroup = "[Default Applications]";

std::string environmentFolder(const char* name, const char* fallbackBelowHome) {
  const char* value = std::getenv(name);
  if (value != nullptr && value[0] == '/') return value;
  const char* home = std::getenv("HOME");
  if (home == nullptr || home[0] != '/') return {};
  return JoinFolder(home, fallbackBelowHome);
}

std::vector<std::string> splitLines(const std::string& text) {
  std::vector<std::string> lines;
  std::istringstream stream(text);
  std::string line;
  while (std::getline(stream, line)) lines.push_back(line);
  return lines;
}

std::string trim(const std::string& text) {
  const auto start = text.find_first_not_of(" \t\r\n");
  if (start == std::string::npos) return {};
  const auto end = text.find_last_not_of(" \t\r\n");
  return text.substr(start, end - start + 1);
}

// The user's own lists, in the order every desktop reads them before any other: one per desktop
// that XDG_CURRENT_DESKTOP names (in lower case), then the common one.
std::vector<std::string> userMimeappsLists(const SchemeHandlerLocations& locations) {
  const std::string folder = std::filesystem::path(locations.mimeappsList).parent_path();
  std::vector<std::string> lists;
  const char* desktops = std::getenv("XDG_CURRENT_DESKTOP");
  std::istringstream names(desktops != nullptr ? desktops : "");
  for (std::string name; std::getline(names, name, ':');) {
    if (name.empty() || name.find('/') != std::string::npos) continue;
    for (char& c : name) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
    lists.push_back(JoinFolder(folder, name + "-mimeapps.list"));
  }
  lists.push_back(locations.mimeappsList);
  return lists;
}

// The default handler the user's own lists give: the first list that names one decides. Empty
// when none does.
std::string userDefaultHandler(const SchemeHandlerLocations& locations) {
  for (const std::string& list : userMimeappsLists(locations)) {
    std::string text;
    if (!platform::ReadWholeFile(list, text)) continue;
    if (std::string handler = DefaultHandlerIn(text, kSchemeMimeType); !handler.empty()) {
      return handler;
    }
  }
  return {};
}

// The default handler as the desktop sees it: xdg-mime's answer when it is installed.
std::string currentDefaultHandler(const SchemeHandlerLocations& locations) {
  if (const auto xdgMime = FindProgram("xdg-mime")) {
    const auto outcome = RunProgram(*xdgMime, {"query", "default", kSchemeMimeType}, {}, true);
    return outcome && outcome->exitCode == 0 ? trim(outcome->output) : std::string();
  }
  std::string list;
  platform::ReadWholeFile(locations.mimeappsList, list);
  return DefaultHandlerIn(list, kSchemeMimeType);
}

bool makeDefaultHandler(const SchemeHandlerLocations& locations) {
  if (const auto xdgMime = FindProgram("xdg-mime")) {
    const auto outcome =
        RunProgram(*xdgMime, {"default", kSchemeDesktopFileName, kSchemeMimeType}, {}, false);
    return outcome && outcome->exitCode == 0;
  }
  std::string list;
  platform::ReadWholeFile(locations.mimeappsList, list);
  return EnsureParentFolder(locations.mimeappsList) &&
         platform::WriteFileAtomically(
             locations.mimeappsList,
             WithDefaultHandler(list, kSchemeMimeType, kSchemeDesktopFileName), 0644);
}

// The Exec line of the first desktop entry of that name in the desktop's application folders, as
// the desktop looks them up; empty when there is none.
std::string installedEntryExec(const std::string& fileName) {
  std::vector<std::string> folders;
  if (const std::string data = environmentFolder("XDG_DATA_HOME", ".local/share"); !data.empty()) {
    folders.push_back(data);
  }
  const char* dirs = std::getenv("XDG_DATA_DIRS");
  std::istringstream list(dirs != nullptr && dirs[0] != '\0' ? dirs
                                                             : "/usr/local/share:/usr/share");
  for (std::string folder; std::getline(list, folder, ':');) {
    if (!folder.empty() && folder.front() == '/') folders.push_back(folder);
  }
  for (const std::string& folder : folders) {
    std::string entry;
    if (platform::ReadWholeFile(JoinFolder(JoinFolder(folder, "applications"), fileName), entry)) {
      return ExecLineOf(entry);
    }
  }
  return {};
}

}  // namespace

std::optional<SchemeHandlerLocations> CurrentSchemeHandlerLocations() {
  const std::string data = environmentFolder("XDG_DATA_HOME", ".local/share");
  const std::string config = environmentFolder("XDG_CONFIG_HOME", ".config");
  if (data.empty() || config.empty()) return std::nullopt;
  return SchemeHandlerLocations{
      JoinFolder(JoinFolder(data, "applications"), kSchemeDesktopFileName),
      JoinFolder(config, "mimeapps.list")};
}

std::optional<std::string> QuoteExecArgument(const std::string& argument) {
  if (argument.empty()) return std::nullopt;
  std::string percentDoubled;
  for (const char c : argument) {
    if (static_cast<unsigned char>(c) < 0x20 || c == 0x7F) return std::nullopt;
    percentDoubled += c;
    if (c == '%') percentDoubled += '%';
  }
  const bool needsQuotes =
      percentDoubled.find_first_of(" \t\"'\\><~|&;$*?#()`") != std::string::npos;
  std::string quoted = percentDoubled;
  if (needsQuotes) {
    quoted = "\"";
    for (const char c : percentDoubled) {
      if (c == '"' || c == '`' || c == '$' || c == '\\') quoted += '\\';
      quoted += c;
    }
    quoted += '"';
  }
  // The value of the key is itself an escaped string, where a backslash is written twice.
  std::string value;
  for (const char c : quoted) {
    value += c;
    if (c == '\\') value += '\\';
  }
  return value;
}

std::optional<std::string> SchemeDesktopEntry(const std::string& programPath) {
  const auto program = QuoteExecArgument(programPath);
  if (!program) return std::nullopt;
  return "[Desktop Entry]\n"
         "Type=Application\n"
         "Name=Tamsel\n"
         "Comment=打开 zelk:// 链接\n"
         "Exec=" +
         *program +
         " -- %u\n"
         "Terminal=false\n"
         "NoDisplay=true\n"
         "MimeType=" +
         std::string(kSchemeMimeType) + ";\n";
}

std::string DefaultHandlerIn(const std::string& mimeappsList, const std::string& mimeType) {
  bool inDefaults = false;
  for (const std::string& raw : splitLines(mimeappsList)) {
    const std::string line = trim(raw);
    if (!line.empty() && line.front() == '[') {
      inDefaults = line == kDefaultGroup;
      continue;
    }
    if (!inDefaults) continue;
    const auto equals = line.find('=');
    if (equals == std::string::npos || trim(line.substr(0, equals)) != mimeType) continue;
    const std::string value = trim(line.substr(equals + 1));
    return value.substr(0, value.find(';'));
  }
  return {};
}

std::string WithDefaultHandler(const std::string& mimeappsList, const std::string& mimeType,
                               const std::string& desktopFileName) {
  const std::string entry = mimeType + "=" + desktopFileName + ";";
  std::string result;
  bool inDefaults = false;
  bool sawDefaults = false;
  bool written = false;
  const auto leaveDefaults = [&] {
    if (inDefaults && !written) {
      result += entry + "\n";
      written = true;
    }
  };
  for (const std::string& raw : splitLines(mimeappsList)) {
    const std::string line = trim(raw);
    if (!line.empty() && line.front() == '[') {
      leaveDefaults();
      inDefaults = line == kDefaultGroup;
      sawDefaults = sawDefaults || inDefaults;
      result += raw + "\n";
      continue;
    }
    const auto equals = line.find('=');
    if (inDefaults && equals != std::string::npos && trim(line.substr(0, equals)) == mimeType) {
      if (!written) result += entry + "\n";
      written = true;
      continue;
    }
    result += raw + "\n";
  }
  leaveDefaults();
  if (!sawDefaults) {
    if (!result.empty() && result.back() != '\n') result += '\n';
    result += std::string(kDefaultGroup) + "\n" + entry + "\n";
  }
  return result;
}

std::string ClientProgramPath(const std::string& programDir) {
  return JoinFolder(programDir, platform::ExecutableFileName("Zelk"));
}

std::string ExecLineOf(const std::string& desktopEntry) {
  bool inEntry = false;
  for (const std::string& raw : splitLines(desktopEntry)) {
    const std::string line = trim(raw);
    if (!line.empty() && line.front() == '[') {
      inEntry = line == "[Desktop Entry]";
      continue;
    }
    const auto equals = line.find('=');
    if (inEntry && equals != std::string::npos && trim(line.substr(0, equals)) == "Exec") {
      return trim(line.substr(equals + 1));
    }
  }
  return {};
}

namespace {

// True when `handler` is an entry that starts this program the way `expected` would: our own
// entry as we write it, or an installation's entry with the same command.
bool startsThisProgram(const std::string& handler, const SchemeHandlerLocations& locations,
                       const std::string& expected) {
  if (handler.empty() || handler.find('/') != std::string::npos) return false;
  if (handler == kSchemeDesktopFileName) {
    std::string current;
    return platform::ReadWholeFile(locations.desktopFile, current) && current == expected;
  }
  return installedEntryExec(handler) == ExecLineOf(expected);
}

}  // namespace

bool SchemeHandlerNeedsRegistering(const std::string& programDir) {
  const auto locations = CurrentSchemeHandlerLocations();
  const auto expected = SchemeDesktopEntry(ClientProgramPath(programDir));
  if (!locations || !expected) return true;
  // Every desktop reads the user's own lists first: when they name an entry of this program, no
  // other place can overrule it and the desktop's tool need not be asked. That tool is a shell
  // script that starts a dozen processes, and this check runs before the main window shows.
  if (startsThisProgram(userDefaultHandler(*locations), *locations, *expected)) return false;
  return !startsThisProgram(currentDefaultHandler(*locations), *locations, *expected);
}

bool RegisterSchemeHandler(const std::string& programDir) {
  const auto locations = CurrentSchemeHandlerLocations();
  const auto entry = SchemeDesktopEntry(ClientProgramPath(programDir));
  if (!locations || !entry) return false;
  if (!EnsureParentFolder(locations->desktopFile) ||
      !platform::WriteFileAtomically(locations->desktopFile, *entry, 0644)) {
    return false;
  }
  return makeDefaultHandler(*locations);
}

}  // namespace zelklib
