#pragma once

#include <cstdint>
#include <functional>
#include <string>

#include "platform/dynamic_library.h"

namespace core {

// What GetFileSizeAndVersion read; meaningful only when `read` is true.
struct FileSizeAndVersion {
  bool read = false;
  std::u16string sizeText;  // decimal byte count
  std::u16string version;
};

// Stored skin as the library keeps it: image mode "1" means a picture background, the colour is
// a number text for StringToDWORD, the image a file name.
struct StoredSkin {
  std::u16string imageMode;
  std::u16string colour;
  std::u16string image;
};

struct StoredLogin {
  std::u16string loginId;
  std::u16string password;
  bool remember = true;
  bool autoLogin = true;
};

// The client's side of the support library: one wrapper per export. Each wrapper looks its
// export up by name at every call; without a library or without the export it answers the
// fallback the contract gives that export. Texts the library returns are copied at once, and
// out-buffers are stack buffers of the contract's byte sizes. A yes/no export counts as yes only
// when it answered exactly 1.
//
// Exceptions: the string tests, UnZipFile and UrlEncode swallow anything raised and answer their
// fallback; the three transfer wrappers log what was raised and answer their fallback; every
// other wrapper lets exceptions reach its caller, which guards its own step.
class ZelkLibBinding {
 public:
  using SymbolLookup = std::function<void*(const char* name)>;

  // No library: every wrapper answers its fallback.
  ZelkLibBinding();
  // Symbols come from an opened library (an unloaded one behaves as no library).
  explicit ZelkLibBinding(platform::DynamicLibrary library);
  // Symbols come from a lookup function (tests use it to hide exports of a library).
  explicit ZelkLibBinding(SymbolLookup lookup);

  ZelkLibBinding(ZelkLibBinding&&) noexcept;
  ZelkLibBinding& operator=(ZelkLibBinding&&) noexcept;
  ZelkLibBinding(const ZelkLibBinding&) = delete;
  ZelkLibBinding& operator=(const ZelkLibBinding&) = delete;
  ~ZelkLibBinding();

  // The one place that loads the product's support library ("ZelkLib") by its platform file
  // name through the normal search (the copy beside the program first).
  static ZelkLibBinding LoadProductLibrary();

  // True when symbols can be looked up at all (the library was loaded or a lookup was given).
  bool loaded() const;
  // Address of an export, null when absent. Looked up anew on every call.
  void* symbol(const char* name) const;

  // The program directory in UTF-16 as the exports take it: the folder of the running program
  // unless a test points it elsewhere. The exports that look at the program's own files (the
  // environment registration, the update check) take this folder.
  const std::u16string& programDirectory() const { return programDirectory_; }
  // Points the program directory elsewhere; the user's state follows it, as in a self-contained
  // copy.
  void setProgramDirectory(std::u16string directory) {
    programDirectory_ = directory;
    dataDirectory_ = std::move(directory);
  }
  // The folder of the user's writable state as the exports take it (see GetDataDirectory). The
  // exports that keep state (the log, the settings) take this folder; log lines (WriteLog and
  // the transfer wrappers' failure lines) go to its log.
  const std::u16string& dataDirectory() const { return dataDirectory_; }

  // Logging and string tests.
  void AppendLog(const std::u16string& programDir, const std::u16string& line) const;
  bool StringCompare(const std::u16string& a, const std::u16string& b) const;
  bool StringStartWith(const std::u16string& text, const std::u16string& prefix) const;
  bool StringEndWith(const std::u16string& text, const std::u16string& suffix) const;
  std::uint32_t StringToDWORD(const std::u16string& text) const;

  // Files and folders.
  bool FileExist(const std::u16string& path) const;
  bool FileDelete(const std::u16string& path) const;
  bool PathExist(const std::u16string& folder) const;
  bool PathDelete(const std::u16string& folder) const;
  bool MoveDir(const std::u16string& source, const std::u16string& target) const;
  bool UnZipFile(const std::u16string& archive, const std::u16string& targetFolder) const;
  bool TryCreateFolderPathByFileName(const std::u16string& filePath) const;
  bool CheckFileIsUsing(const std::u16string& path) const;
  std::u16string GetFileExt(const std::u16string& path) const;
  std::u16string GetFileName(const std::u16string& path) const;
  std::u16string GetFileParentDirectoryName(const std::u16string& path) const;
  FileSizeAndVersion GetFileSizeAndVersion(const std::u16string& filePath) const;

  // Single instance and hand-off.
  bool HasRunningInstance(const std::u16string& processFileName) const;
  bool SendMsgToRunningInstance(const std::u16string& processFileName, std::uint32_t message,
                                const std::u16string& text) const;
  void WriteDataToUrlProtocolShareMemory(const std::u16string& request) const;
  std::u16string ReadDataFromUrlProtocolShareMemory() const;
  bool WriteDataToZelkInterfaceShareMemory(const std::u16string& serviceHost) const;

  // Environment and updates. NeedUpdateZelkEnviroment answers the message text and fills
  // `status` ("1": the environment needs registering).
  std::u16string NeedUpdateZelkEnviroment(const std::u16string& programDir,
                                          std::u16string& status) const;
  bool TryRegisterZelkEnviroment(const std::u16string& programDir,
                                 const std::u16string& force) const;
  int TrySetIE_FEATURE_BROWSER_EMULATION(const std::u16string& processFileName) const;
  bool CheckNeedUpdate(const std::u16string& programDir) const;
  void SetUnShowIntroduce(const std::u16string& programDir) const;

  // Stored settings. Fallbacks: skin mode "0", colour "0", no image; no download folder; an empty
  // login with both options on.
  StoredSkin LoadSkinData(const std::u16string& programDir) const;
  void SaveSkinData(const std::u16string& programDir, int imageMode, std::uint32_t colour,
                    const std::u16string& image) const;
  std::u16string LoadOptionData(const std::u16string& programDir) const;
  void SaveOptionData(const std::u16string& programDir, const std::u16string& folder) const;
  StoredLogin LoadLoginData(const std::u16string& programDir) const;
  void SaveLoginData(const std::u16string& programDir, const std::u16string& loginId,
                     const std::u16string& password, bool remember, bool autoLogin) const;

  // Account helpers.
  std::u16string EncryptStr(const std::u16string& text) const;
  bool IsMobileNumber(const std::u16string& text) const;
  std::u16string GetTrueMobileNumber(const std::u16string& text) const;

  // HTTP and URLs. The transfer wrappers answer the reply text and fill `status` with the
  // library's status text ("1": success); without the library both are empty.
  std::u16string GetWebContent(const std::u16string& url, std::u16string& status) const;
  std::u16string PostWebContent(const std::u16string& url, const std::u16string& body,
                                std::u16string& status) const;
  std::u16string CombinURL(const std::u16string& base, const std::u16string& relative) const;
  std::u16string CombinURLRandomParamArge(const std::u16string& url) const;
  std::u16string UrlEncode(const std::u16string& text) const;
  // Non-zero when the file was saved; on 0 `errorText` holds the library's error text.
  int DownloadImageByUrl(const std::u16string& url, const std::u16string& localPath,
                         std::u16string& errorText) const;
  bool CheckCanVisitInternent() const;

  // System facts.
  std::u16string GetOSName() const;
  std::u16string GetMacAddress() const;
  std::u16string GetComputerName() const;
  std::u16string GetIEVersion() const;
  bool IsWin64() const;
  std::u16string GetAllInstallFrameworks() const;
  bool HasInstallDotNetFrameworkV11() const;
  bool HasInstallDotNetFrameworkV20() const;
  bool HasInstallDotNetFrameworkV30() const;
  bool HasInstallDotNetFrameworkV35() const;
  bool HasInstallDotNetFrameworkV40() const;
  bool HasInstallDotNetFrameworkV45() const;
  bool InstallDoNetFramework4BySilent(const std::u16string& platformFolder,
                                      const std::u16string& installerPath) const;

 private:
  template <class Function>
  Function* resolve(const char* name) const {
    return reinterpret_cast<Function*>(symbol(name));
  }
  // Writes a failure line of a transfer wrapper; never raises.
  void logFailure(const std::u16string& line) const noexcept;

  platform::DynamicLibrary library_;
  SymbolLookup lookup_;
  std::u16string programDirectory_;
  std::u16string dataDirectory_;
};

// The process-wide binding (the program's ZelkLibHandle): without a library until the entry
// point installs the loaded one, once, before any worker starts.
ZelkLibBinding& ZelkLibHandle();
void InstallZelkLibHandle(ZelkLibBinding binding);

}  // namespace core
