#pragma once

// The exports of the support library, shared by the library and by the client binding.
// Texts are zero-terminated UTF-16. A returned text belongs to the library and stays valid until
// the same thread calls the same export again. Out-buffers are given with their size in bytes
// (the client's stack buffers); the library never writes past them and always terminates them.
// Yes/no results are int, 1 meaning yes.

#include <cstdint>

#define ZELK_EXPORT extern "C" __attribute__((visibility("default")))

// Byte sizes of the out-buffers the client passes.
inline constexpr int kZelkStatusBufferBytes = 12;
inline constexpr int kZelkFileSizeBufferBytes = 52;
inline constexpr int kZelkVersionBufferBytes = 100;
inline constexpr int kZelkColourBufferBytes = 52;
inline constexpr int kZelkPathBufferBytes = 256;
inline constexpr int kZelkLoginBufferBytes = 100;
inline constexpr int kZelkErrorBufferBytes = 256;

// Logging and string tests.
ZELK_EXPORT void AppendLog(const char16_t* programDir, const char16_t* line);
ZELK_EXPORT int StringCompare(const char16_t* a, const char16_t* b);
ZELK_EXPORT int StringStartWith(const char16_t* text, const char16_t* prefix);
ZELK_EXPORT int StringEndWith(const char16_t* text, const char16_t* suffix);
ZELK_EXPORT std::uint32_t StringToDWORD(const char16_t* text);

// Files and folders.
ZELK_EXPORT int FileExist(const char16_t* path);
ZELK_EXPORT int FileDelete(const char16_t* path);
ZELK_EXPORT int PathExist(const char16_t* folder);
ZELK_EXPORT int PathDelete(const char16_t* folder);
ZELK_EXPORT int MoveDir(const char16_t* source, const char16_t* target);
ZELK_EXPORT int UnZipFile(const char16_t* archive, const char16_t* targetFolder);
ZELK_EXPORT int TryCreateFolderPathByFileName(const char16_t* filePath);
ZELK_EXPORT int CheckFileIsUsing(const char16_t* path);
ZELK_EXPORT const char16_t* GetFileExt(const char16_t* path);
ZELK_EXPORT const char16_t* GetFileName(const char16_t* path);
ZELK_EXPORT const char16_t* GetFileParentDirectoryName(const char16_t* path);
ZELK_EXPORT int GetFileSizeAndVersion(const char16_t* filePath, char16_t* sizeBuffer52,
                                      char16_t* versionBuffer100);

// Single instance and hand-off.
ZELK_EXPORT int HasRunningInstance(const char16_t* processFileName);
ZELK_EXPORT int SendMsgToRunningInstance(const char16_t* processFileName, std::uint32_t message,
                                         const char16_t* text);
ZELK_EXPORT void WriteDataToUrlProtocolShareMemory(const char16_t* request);
ZELK_EXPORT const char16_t* ReadDataFromUrlProtocolShareMemory();
ZELK_EXPORT int WriteDataToZelkInterfaceShareMemory(const char16_t* serviceHost);

// Environment and updates.
ZELK_EXPORT const char16_t* NeedUpdateZelkEnviroment(const char16_t* programDir,
                                                      char16_t* statusBuffer12);
ZELK_EXPORT int TryRegisterZelkEnviroment(const char16_t* programDir, const char16_t* force);
ZELK_EXPORT int TrySetIE_FEATURE_BROWSER_EMULATION(const char16_t* processFileName);
ZELK_EXPORT int CheckNeedUpdate(const char16_t* programDir);
ZELK_EXPORT void SetUnShowIntroduce(const char16_t* programDir);

// Stored settings.
ZELK_EXPORT void LoadSkinData(const char16_t* programDir, char16_t* imageModeBuffer12,
                              char16_t* colourBuffer52, char16_t* imageBuffer256);
ZELK_EXPORT void SaveSkinData(const char16_t* programDir, int imageMode, std::uint32_t colour,
                              const char16_t* image);
ZELK_EXPORT void LoadOptionData(const char16_t* programDir, char16_t* folderBuffer256);
ZELK_EXPORT void SaveOptionData(const char16_t* programDir, const char16_t* folder);
ZELK_EXPORT void LoadLoginData(const char16_t* programDir, char16_t* loginIdBuffer100,
                               char16_t* passwordBuffer100, char16_t* rememberBuffer12,
                               char16_t* autoLoginBuffer12);
ZELK_EXPORT void SaveLoginData(const char16_t* programDir, const char16_t* loginId,
                               const char16_t* password, int remember, int autoLogin);

// Account helpers.
ZELK_EXPORT const char16_t* EncryptStr(const char16_t* text);
ZELK_EXPORT int IsMobileNumber(const char16_t* text);
ZELK_EXPORT const char16_t* GetTrueMobileNumber(const char16_t* text);

// HTTP and URLs.
ZELK_EXPORT const char16_t* GetWebContent(const char16_t* url, char16_t* statusBuffer12);
ZELK_EXPORT const char16_t* PostWebContent(const char16_t* url, const char16_t* body,
                                           char16_t* statusBuffer12);
ZELK_EXPORT const char16_t* CombinURL(const char16_t* base, const char16_t* relative);
ZELK_EXPORT const char16_t* CombinURLRandomParamArge(const char16_t* url);
ZELK_EXPORT const char16_t* UrlEncode(const char16_t* text);
ZELK_EXPORT int DownloadImageByUrl(const char16_t* url, const char16_t* localPath,
                                   char16_t* errorBuffer256);
ZELK_EXPORT int CheckCanVisitInternent();

// System facts.
ZELK_EXPORT const char16_t* GetOSName();
ZELK_EXPORT const char16_t* GetMacAddress();
ZELK_EXPORT const char16_t* GetComputerName();
ZELK_EXPORT const char16_t* GetIEVersion();
ZELK_EXPORT int IsWin64();
ZELK_EXPORT const char16_t* GetAllInstallFrameworks();
ZELK_EXPORT int HasInstallDotNetFrameworkV11();
ZELK_EXPORT int HasInstallDotNetFrameworkV20();
ZELK_EXPORT int HasInstallDotNetFrameworkV30();
ZELK_EXPORT int HasInstallDotNetFrameworkV35();
ZELK_EXPORT int HasInstallDotNetFrameworkV40();
ZELK_EXPORT int HasInstallDotNetFrameworkV45();
ZELK_EXPORT int InstallDoNetFramework4BySilent(const char16_t* platformFolder,
                                               const char16_t* installerPath);
