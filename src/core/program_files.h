#pragma once

#include <string>

namespace core {

// File names of the product's programs and the files they hand each other, kept in one place so
// that the platform's naming ("Zelk" here, "Zelk.exe" on Windows) is applied once.

// Process file name of the client ("Zelk").
std::string ClientProcessName();
// Process file name of the updater ("ZelkUpdater").
std::string UpdaterProcessName();
// Where the previous updater is kept after a new one replaced it ("ZelkUpdater.old").
std::string OldUpdaterFileName();
// Relative path of a new updater waiting to replace the current one.
std::string WaitingUpdaterRelativePath();
// Relative path of the update package the updater fetched and installs.
inline constexpr const char* kWaitingPackageRelativePath = "TempPath/update.zip";
// Folder, relative to the program directory, where waiting update files are kept.
inline constexpr const char* kWaitingFolder = "TempPath";
// The update mark file in the program directory.
inline constexpr const char* kUpdateMarkFileName = "judgeUpdate.txt";
// The history of knowledge downloads in the program directory.
inline constexpr const char* kDownloadHistoryFileName = "DownloadHistory.xml";
// The knowledge download folder below the program directory, unless the user chose another.
inline constexpr const char* kKnowlegeDownloadFolder = "Downloads\\Knowlege";

// The skin folder of the window library, relative to the program directory.
inline constexpr const char* kSkinFolder = "Skin\\Zelk";

}  // namespace core
