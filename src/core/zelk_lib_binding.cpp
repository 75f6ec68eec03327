#include "core/zelk_lib_binding.h"

#include <exception>
#include <utility>

#include "core/app_directory.h"
#include "platform/code_page.h"
#include "platform/paths.h"
#include "zelklib/zelklib_exports.h"

// Resolves the export of that name with the type the shared header declares for it.
#define ZELK_RESOLVE(name) resolve<decltype(::name)>(#name)

namespace core {
namespace {

// A stack out-buffer of the contract's byte size. The library must terminate it; the last unit
// is cleared anyway so a misbehaving library cannot make us read past it.
template <int Bytes>
struct OutBuffer {
  static constexpr int kUnits = Bytes / 2;
  char16_t units[kUnits] = {};

  char16_t* data() { return units; }
  std::u16string text() {
    units[kUnits - 1] = u'\0';
    return std::u16string(platform::Utf16View(units));
  }
};

std::u16string copyText(const char16_t* text) {
  return std::u16string(platform::Utf16View(text));
}

bool isYes(int result) {
  return result == 1;
}

// The reason text of a transfer failure, from whatever was raised.
struct RaisedReason {
  bool known = false;
  std::u16string text;
};

RaisedReason reasonOf(std::exception_ptr raised) {
  try {
    std::rethrow_exception(std::move(raised));
  } catch (const std::exception& e) {
    return {true, AnsiTextToWide(e.what())};
  } catch (const std::string& text) {
    return {true, AnsiTextToWide(text)};
  } catch (const char* text) {
    return {true, AnsiTextToWide(text != nullptr ? text : "")};
  } catch (...) {
    return {};
  }
}

}  // namespace

ZelkLibBinding::ZelkLibBinding()
    : programDirectory_(GetAppDirectoryWide()), dataDirectory_(GetDataDirectoryWide()) {}

ZelkLibBinding::ZelkLibBinding(platform::DynamicLibrary library)
    : library_(std::move(library)),
      programDirectory_(GetAppDirectoryWide()),
      dataDirectory_(GetDataDirectoryWide()) {}

ZelkLibBinding::ZelkLibBinding(SymbolLookup lookup)
    : lookup_(std::move(lookup)),
      programDirectory_(GetAppDirectoryWide()),
      dataDirectory_(GetDataDirectoryWide()) {}

ZelkLibBinding::ZelkLibBinding(ZelkLibBinding&&) noexcept = default;
ZelkLibBinding& ZelkLibBinding::operator=(ZelkLibBinding&&) noexcept = default;
ZelkLibBinding::~ZelkLibBinding() = default;

ZelkLibBinding ZelkLibBinding::LoadProductLibrary() {
  const std::string name = platform::SharedLibraryFileName("ZelkLib");
  // The copy beside the program wins. It is named by its path rather than left to the program's
  // RUNPATH, which a sanitizer's interception of dlopen hides; then the normal search.
  platform::DynamicLibrary beside =
      platform::DynamicLibrary::open(platform::JoinPath(platform::ProgramDirectory(), name));
  if (beside.loaded()) return ZelkLibBinding(std::move(beside));
  return ZelkLibBinding(platform::DynamicLibrary::open(name));
}

bool ZelkLibBinding::loaded() const {
  return lookup_ ? true : library_.loaded();
}

void* ZelkLibBinding::symbol(const char* name) const {
  if (lookup_) return lookup_(name);
  return library_.symbol(name);
}

void ZelkLibBinding::logFailure(const std::u16string& line) const noexcept {
  try {
    AppendLog(dataDirectory_, line);
  } catch (...) {
    // The log is the last resort of a failure report; nothing is left to tell.
  }
}

// ---- Logging and string tests ----

void ZelkLibBinding::AppendLog(const std::u16string& programDir, const std::u16string& line) const {
  if (auto* f = ZELK_RESOLVE(AppendLog)) f(programDir.c_str(), line.c_str());
}

bool ZelkLibBinding::StringCompare(const std::u16string& a, const std::u16string& b) const {
  try {
    auto* f = ZELK_RESOLVE(StringCompare);
    return f != nullptr && isYes(f(a.c_str(), b.c_str()));
  } catch (...) {
    return false;
  }
}

bool ZelkLibBinding::StringStartWith(const std::u16string& text,
                                     const std::u16string& prefix) const {
  try {
    auto* f = ZELK_RESOLVE(StringStartWith);
    return f != nullptr && isYes(f(text.c_str(), prefix.c_str()));
  } catch (...) {
    return false;
  }
}

bool ZelkLibBinding::StringEndWith(const std::u16string& text, const std::u16string& suffix) const {
  try {
    auto* f = ZELK_RESOLVE(StringEndWith);
    return f != nullptr && isYes(f(text.c_str(), suffix.c_str()));
  } catch (...) {
    return false;
  }
}

std::uint32_t ZelkLibBinding::StringToDWORD(const std::u16string& text) const {
  auto* f = ZELK_RESOLVE(StringToDWORD);
  return f != nullptr ? f(text.c_str()) : 0;
}

// ---- Files and folders ----

bool ZelkLibBinding::FileExist(const std::u16string& path) const {
  auto* f = ZELK_RESOLVE(FileExist);
  return f != nullptr && isYes(f(path.c_str()));
}

bool ZelkLibBinding::FileDelete(const std::u16string& path) const {
  auto* f = ZELK_RESOLVE(FileDelete);
  return f != nullptr && isYes(f(path.c_str()));
}

bool ZelkLibBinding::PathExist(const std::u16string& folder) const {
  auto* f = ZELK_RESOLVE(PathExist);
  return f != nullptr && isYes(f(folder.c_str()));
}

bool ZelkLibBinding::PathDelete(const std::u16string& folder) const {
  auto* f = ZELK_RESOLVE(PathDelete);
  return f != nullptr && isYes(f(folder.c_str()));
}

bool ZelkLibBinding::MoveDir(const std::u16string& source, const std::u16string& target) const {
  auto* f = ZELK_RESOLVE(MoveDir);
  return f != nullptr && isYes(f(source.c_str(), target.c_str()));
}

bool ZelkLibBinding::UnZipFile(const std::u16string& archive,
                               const std::u16string& targetFolder) const {
  try {
    auto* f = ZELK_RESOLVE(UnZipFile);
    return f != nullptr && isYes(f(archive.c_str(), targetFolder.c_str()));
  } catch (...) {
    return false;
  }
}

bool ZelkLibBinding::TryCreateFolderPathByFileName(const std::u16string& filePath) const {
  auto* f = ZELK_RESOLVE(TryCreateFolderPathByFileName);
  return f != nullptr && isYes(f(filePath.c_str()));
}

bool ZelkLibBinding::CheckFileIsUsing(const std::u16string& path) const {
  auto* f = ZELK_RESOLVE(CheckFileIsUsing);
  return f != nullptr && isYes(f(path.c_str()));
}

std::u16string ZelkLibBinding::GetFileExt(const std::u16string& path) const {
  auto* f = ZELK_RESOLVE(GetFileExt);
  return f != nullptr ? copyText(f(path.c_str())) : std::u16string();
}

std::u16string ZelkLibBinding::GetFileName(const std::u16string& path) const {
  auto* f = ZELK_RESOLVE(GetFileName);
  return f != nullptr ? copyText(f(path.c_str())) : std::u16string();
}

std::u16string ZelkLibBinding::GetFileParentDirectoryName(const std::u16string& path) const {
  auto* f = ZELK_RESOLVE(GetFileParentDirectoryName);
  return f != nullptr ? copyText(f(path.c_str())) : std::u16string();
}

FileSizeAndVersion ZelkLibBinding::GetFileSizeAndVersion(const std::u16string& filePath) const {
  auto* f = ZELK_RESOLVE(GetFileSizeAndVersion);
  if (f == nullptr) return {};
  OutBuffer<kZelkFileSizeBufferBytes> size;
  OutBuffer<kZelkVersionBufferBytes> version;
  if (!isYes(f(filePath.c_str(), size.data(), version.data()))) return {};
  return {true, size.text(), version.text()};
}

// ---- Single instance and hand-off ----

bool ZelkLibBinding::HasRunningInstance(const std::u16string& processFileName) const {
  auto* f = ZELK_RESOLVE(HasRunningInstance);
  return f != nullptr && isYes(f(processFileName.c_str()));
}

bool ZelkLibBinding::SendMsgToRunningInstance(const std::u16string& processFileName,
                                              std::uint32_t message,
                                              const std::u16string& text) const {
  auto* f = ZELK_RESOLVE(SendMsgToRunningInstance);
  return f != nullptr && isYes(f(processFileName.c_str(), message, text.c_str()));
}

void ZelkLibBinding::WriteDataToUrlProtocolShareMemory(const std::u16string& request) const {
  if (auto* f = ZELK_RESOLVE(WriteDataToUrlProtocolShareMemory)) f(request.c_str());
}

std::u16string ZelkLibBinding::ReadDataFromUrlProtocolShareMemory() const {
  auto* f = ZELK_RESOLVE(ReadDataFromUrlProtocolShareMemory);
  return f != nullptr ? copyText(f()) : std::u16string();
}

bool ZelkLibBinding::WriteDataToZelkInterfaceShareMemory(const std::u16string& serviceHost) const {
  auto* f = ZELK_RESOLVE(WriteDataToZelkInterfaceShareMemory);
  return f != nullptr && isYes(f(serviceHost.c_str()));
}

// ---- Environment and updates ----

std::u16string ZelkLibBinding::NeedUpdateZelkEnviroment(const std::u16string& programDir,
                                                        std::u16string& status) const {
  status.clear();
  auto* f = ZELK_RESOLVE(NeedUpdateZelkEnviroment);
  if (f == nullptr) return {};
  OutBuffer<kZelkStatusBufferBytes> statusBuffer;
  std::u16string message = copyText(f(programDir.c_str(), statusBuffer.data()));
  status = statusBuffer.text();
  return message;
}

bool ZelkLibBinding::TryRegisterZelkEnviroment(const std::u16string& programDir,
                                               const std::u16string& force) const {
  auto* f = ZELK_RESOLVE(TryRegisterZelkEnviroment);
  return f != nullptr && isYes(f(programDir.c_str(), force.c_str()));
}

int ZelkLibBinding::TrySetIE_FEATURE_BROWSER_EMULATION(
    const std::u16string& processFileName) const {
  auto* f = ZELK_RESOLVE(TrySetIE_FEATURE_BROWSER_EMULATION);
  return f != nullptr ? f(processFileName.c_str()) : 0;
}

bool ZelkLibBinding::CheckNeedUpdate(const std::u16string& programDir) const {
  auto* f = ZELK_RESOLVE(CheckNeedUpdate);
  return f != nullptr && isYes(f(programDir.c_str()));
}

void ZelkLibBinding::SetUnShowIntroduce(const std::u16string& programDir) const {
  if (auto* f = ZELK_RESOLVE(SetUnShowIntroduce)) f(programDir.c_str());
}

// ---- Stored settings ----

StoredSkin ZelkLibBinding::LoadSkinData(const std::u16string& programDir) const {
  auto* f = ZELK_RESOLVE(LoadSkinData);
  if (f == nullptr) return {u"0", u"0", u""};
  OutBuffer<kZelkStatusBufferBytes> mode;
  OutBuffer<kZelkColourBufferBytes> colour;
  OutBuffer<kZelkPathBufferBytes> image;
  f(programDir.c_str(), mode.data(), colour.data(), image.data());
  return {mode.text(), colour.text(), image.text()};
}

void ZelkLibBinding::SaveSkinData(const std::u16string& programDir, int imageMode,
                                  std::uint32_t colour, const std::u16string& image) const {
  if (auto* f = ZELK_RESOLVE(SaveSkinData)) f(programDir.c_str(), imageMode, colour, image.c_str());
}

std::u16string ZelkLibBinding::LoadOptionData(const std::u16string& programDir) const {
  auto* f = ZELK_RESOLVE(LoadOptionData);
  if (f == nullptr) return {};
  OutBuffer<kZelkPathBufferBytes> folder;
  f(programDir.c_str(), folder.data());
  return folder.text();
}

void ZelkLibBinding::SaveOptionData(const std::u16string& programDir,
                                    const std::u16string& folder) const {
  if (auto* f = ZELK_RESOLVE(SaveOptionData)) f(programDir.c_str(), folder.c_str());
}

StoredLogin ZelkLibBinding::LoadLoginData(const std::u16string& programDir) const {
  auto* f = ZELK_RESOLVE(LoadLoginData);
  if (f == nullptr) return {};
  OutBuffer<kZelkLoginBufferBytes> loginId;
  OutBuffer<kZelkLoginBufferBytes> password;
  OutBuffer<kZelkStatusBufferBytes> remember;
  OutBuffer<kZelkStatusBufferBytes> autoLogin;
  f(programDir.c_str(), loginId.data(), password.data(), remember.data(), autoLogin.data());
  return {loginId.text(), password.text(), remember.text() == u"1", autoLogin.text() == u"1"};
}

void ZelkLibBinding::SaveLoginData(const std::u16string& programDir, const std::u16string& loginId,
                                   const std::u16string& password, bool remember,
                                   bool autoLogin) const {
  if (auto* f = ZELK_RESOLVE(SaveLoginData)) {
    f(programDir.c_str(), loginId.c_str(), password.c_str(), remember ? 1 : 0, autoLogin ? 1 : 0);
  }
}

// ---- Account helpers ----

std::u16string ZelkLibBinding::EncryptStr(const std::u16string& text) const {
  auto* f = ZELK_RESOLVE(EncryptStr);
  return f != nullptr ? copyText(f(text.c_str())) : std::u16string();
}

bool ZelkLibBinding::IsMobileNumber(const std::u16string& text) const {
  auto* f = ZELK_RESOLVE(IsMobileNumber);
  return f != nullptr && isYes(f(text.c_str()));
}

std::u16string ZelkLibBinding::GetTrueMobileNumber(const std::u16string& text) const {
  auto* f = ZELK_RESOLVE(GetTrueMobileNumber);
  return f != nullptr ? copyText(f(text.c_str())) : text;
}

// ---- HTTP and URLs ----

std::u16string ZelkLibBinding::GetWebContent(const std::u16string& url,
                                             std::u16string& status) const {
  status.clear();
  try {
    auto* f = ZELK_RESOLVE(GetWebContent);
    if (f == nullptr) return {};
    OutBuffer<kZelkStatusBufferBytes> statusBuffer;
    std::u16string reply = copyText(f(url.c_str(), statusBuffer.data()));
    status = statusBuffer.text();
    return reply;
  } catch (...) {
    const RaisedReason reason = reasonOf(std::current_exception());
    logFailure(reason.known ? u"请求网址失败，失败原因:" + reason.text + u"，图片网址:" + url
                            : u"未知异常造成请求网址" + url + u"失败");
    status.clear();
    return {};
  }
}

std::u16string ZelkLibBinding::PostWebContent(const std::u16string& url, const std::u16string& body,
                                              std::u16string& status) const {
  status.clear();
  try {
    auto* f = ZELK_RESOLVE(PostWebContent);
    if (f == nullptr) return {};
    OutBuffer<kZelkStatusBufferBytes> statusBuffer;
    std::u16string reply = copyText(f(url.c_str(), body.c_str(), statusBuffer.data()));
    status = statusBuffer.text();
    return reply;
  } catch (...) {
    const RaisedReason reason = reasonOf(std::current_exception());
    logFailure(reason.known ? u"提交网址失败，失败原因:" + reason.text + u"，图片网址:" + url
                            : u"未知异常造成提交网址" + url + u"失败");
    status.clear();
    return {};
  }
}

std::u16string ZelkLibBinding::CombinURL(const std::u16string& base,
                                         const std::u16string& relative) const {
  auto* f = ZELK_RESOLVE(CombinURL);
  return f != nullptr ? copyText(f(base.c_str(), relative.c_str())) : std::u16string();
}

std::u16string ZelkLibBinding::CombinURLRandomParamArge(const std::u16string& url) const {
  auto* f = ZELK_RESOLVE(CombinURLRandomParamArge);
  if (f == nullptr) return url;
  std::u16string result = copyText(f(url.c_str()));
  return result.empty() ? url : result;
}

std::u16string ZelkLibBinding::UrlEncode(const std::u16string& text) const {
  try {
    auto* f = ZELK_RESOLVE(UrlEncode);
    return f != nullptr ? copyText(f(text.c_str())) : text;
  } catch (...) {
    return text;
  }
}

int ZelkLibBinding::DownloadImageByUrl(const std::u16string& url, const std::u16string& localPath,
                                       std::u16string& errorText) const {
  errorText.clear();
  try {
    auto* f = ZELK_RESOLVE(DownloadImageByUrl);
    if (f == nullptr) return 0;
    OutBuffer<kZelkErrorBufferBytes> errorBuffer;
    const int result = f(url.c_str(), localPath.c_str(), errorBuffer.data());
    if (result == 0) errorText = errorBuffer.text();
    return result;
  } catch (...) {
    const RaisedReason reason = reasonOf(std::current_exception());
    logFailure(reason.known ? u"下载图片失败，失败原因:" + reason.text + u"，图片网址:" + url
                            : u"未知原因造成下载图片失败，图片网址:" + url);
    return 0;
  }
}

bool ZelkLibBinding::CheckCanVisitInternent() const {
  auto* f = ZELK_RESOLVE(CheckCanVisitInternent);
  return f != nullptr && isYes(f());
}

// ---- System facts ----

std::u16string ZelkLibBinding::GetOSName() const {
  auto* f = ZELK_RESOLVE(GetOSName);
  return f != nullptr ? copyText(f()) : std::u16string();
}

std::u16string ZelkLibBinding::GetMacAddress() const {
  auto* f = ZELK_RESOLVE(GetMacAddress);
  return f != nullptr ? copyText(f()) : std::u16string();
}

std::u16string ZelkLibBinding::GetComputerName() const {
  auto* f = ZELK_RESOLVE(GetComputerName);
  return f != nullptr ? copyText(f()) : std::u16string();
}

std::u16string ZelkLibBinding::GetIEVersion() const {
  auto* f = ZELK_RESOLVE(GetIEVersion);
  return f != nullptr ? copyText(f()) : std::u16string();
}

bool ZelkLibBinding::IsWin64() const {
  auto* f = ZELK_RESOLVE(IsWin64);
  return f != nullptr && isYes(f());
}

std::u16string ZelkLibBinding::GetAllInstallFrameworks() const {
  auto* f = ZELK_RESOLVE(GetAllInstallFrameworks);
  return f != nullptr ? copyText(f()) : std::u16string();
}

bool ZelkLibBinding::HasInstallDotNetFrameworkV11() const {
  auto* f = ZELK_RESOLVE(HasInstallDotNetFrameworkV11);
  return f != nullptr && isYes(f());
}

bool ZelkLibBinding::HasInstallDotNetFrameworkV20() const {
  auto* f = ZELK_RESOLVE(HasInstallDotNetFrameworkV20);
  return f != nullptr && isYes(f());
}

bool ZelkLibBinding::HasInstallDotNetFrameworkV30() const {
  auto* f = ZELK_RESOLVE(HasInstallDotNetFrameworkV30);
  return f != nullptr && isYes(f());
}

bool ZelkLibBinding::HasInstallDotNetFrameworkV35() const {
  auto* f = ZELK_RESOLVE(HasInstallDotNetFrameworkV35);
  return f != nullptr && isYes(f());
}

bool ZelkLibBinding::HasInstallDotNetFrameworkV40() const {
  auto* f = ZELK_RESOLVE(HasInstallDotNetFrameworkV40);
  return f != nullptr && isYes(f());
}

bool ZelkLibBinding::HasInstallDotNetFrameworkV45() const {
  auto* f = ZELK_RESOLVE(HasInstallDotNetFrameworkV45);
  return f != nullptr && isYes(f());
}

bool ZelkLibBinding::InstallDoNetFramework4BySilent(const std::u16string& platformFolder,
                                                    const std::u16string& installerPath) const {
  auto* f = ZELK_RESOLVE(InstallDoNetFramework4BySilent);
  return f != nullptr && isYes(f(platformFolder.c_str(), installerPath.c_str()));
}

// ---- The process-wide binding ----

namespace {
ZelkLibBinding& processBinding() {
  static ZelkLibBinding binding;
  return binding;
}
}  // namespace

ZelkLibBinding& ZelkLibHandle() {
  return processBinding();
}

void InstallZelkLibHandle(ZelkLibBinding binding) {
  processBinding() = std::move(binding);
}

}  // namespace core
