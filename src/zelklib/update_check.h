#pragma once

#include <string>

namespace zelklib {

// The update question to the service: GET zelk/ClientUpdateApi.aspx?ver=<version>, answered
// {"result":1,"hasUpdate":0|1,"version":"…","url":"…"}.
std::string UpdateQueryUrl(const std::string& serviceHostAndPort, const std::string& version);
// True only for a reply with result 1 and hasUpdate 1.
bool ReplyOffersUpdate(const std::string& replyJson);
// The client's version: the one embedded in the program file of the directory, else this
// build's.
std::string InstalledClientVersion(const std::string& programDir);
// Asks the service; false also when it cannot be reached.
bool IsUpdateAvailable(const std::string& programDir);

// "judgeUpdate.txt" of the program directory. Its first line "2" asks for the new-feature
// introduction; clearing it writes "0" there and keeps the other lines.
std::string UpdateMarkPath(const std::string& programDir);
// The file text with a first line of "2" replaced by "0" (a trailing carriage return kept);
// any other text unchanged.
std::string WithoutIntroduceMark(const std::string& content);
// Rewrites the file atomically when it holds the mark; true when the mark is gone afterwards.
bool ClearIntroduceMark(const std::string& programDir);

}  // namespace zelklib
