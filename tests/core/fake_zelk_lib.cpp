// A stand-in for the support library with a chosen subset of its exports, built only for the
// binding's tests. Some exports misbehave on purpose (raise, answer 2 for yes, fill buffers to
// the last byte) so that the binding's handling of each can be observed. StringEndWith,
// GetTrueMobileNumber and GetOSName are deliberately absent.

#include <cstdlib>
#include <fstream>
#include <stdexcept>
#include <string>

#include "platform/code_page.h"
#include "zelklib/zelklib_exports.h"

namespace {

std::u16string text(const char16_t* value) {
  return std::u16string(platform::Utf16View(value));
}

// Returned texts live in one buffer per thread and export, overwritten by the next call, as the
// real library's do.
template <int Tag>
const char16_t* keep(std::u16string value) {
  thread_local std::u16string buffer;
  buffer = std::move(value);
  return buffer.c_str();
}

// Copies a text into an out-buffer of `bytes` bytes, always terminated.
void fill(char16_t* buffer, int bytes, const std::u16string& value) {
  const std::size_t units = static_cast<std::size_t>(bytes / 2);
  const std::size_t n = std::min(value.size(), units - 1);
  value.copy(buffer, n);
  buffer[n] = u'\0';
}

// Raises what the request text names: a standard exception, an 8-bit string, a C string or an
// int.
void raiseOnRequest(const std::u16string& request) {
  if (request == u"std") throw std::runtime_error("connection refused");
  if (request == u"str") throw std::string("bad reply");
  if (request == u"cstr") throw "no route";
  if (request == u"int") throw 7;
}

int numberOf(const char16_t* value) {
  return std::atoi(platform::Utf16ToUtf8(text(value)).c_str());
}

}  // namespace

ZELK_EXPORT void AppendLog(const char16_t* programDir, const char16_t* line) {
  std::ofstream(platform::Utf16ToUtf8(text(programDir)) + "/fake.log", std::ios::app)
      << platform::Utf16ToUtf8(text(line)) << '\n';
}

ZELK_EXPORT int StringCompare(const char16_t* a, const char16_t* b) {
  if (text(a) == u"throw") throw std::runtime_error("compare");
  return text(a) == text(b) ? 1 : 0;
}

ZELK_EXPORT int StringStartWith(const char16_t* value, const char16_t* prefix) {
  if (text(value) == u"throw") throw 1;
  return text(value).starts_with(text(prefix)) ? 1 : 0;
}

ZELK_EXPORT std::uint32_t StringToDWORD(const char16_t* value) {
  return static_cast<std::uint32_t>(
      std::strtoul(platform::Utf16ToUtf8(text(value)).c_str(), nullptr, 10));
}

// Answers the number its argument spells, so tests can see how 0, 1, 2 and -1 are read.
ZELK_EXPORT int FileExist(const char16_t* path) {
  if (text(path) == u"throw") throw std::runtime_error("file test");
  return numberOf(path);
}

ZELK_EXPORT int IsWin64() {
  return 2;
}
ZELK_EXPORT int CheckCanVisitInternent() {
  return 1;
}

ZELK_EXPORT int UnZipFile(const char16_t*, const char16_t*) {
  throw std::runtime_error("zip");
}

ZELK_EXPORT const char16_t* GetFileExt(const char16_t* path) {
  return keep<1>(u"." + text(path));
}

ZELK_EXPORT int GetFileSizeAndVersion(const char16_t* filePath, char16_t* size, char16_t* version) {
  if (text(filePath) == u"missing") return 0;
  // Fill both buffers to their last unit.
  fill(size, kZelkFileSizeBufferBytes, std::u16string(kZelkFileSizeBufferBytes / 2 - 1, u'7'));
  fill(version, kZelkVersionBufferBytes, std::u16string(kZelkVersionBufferBytes / 2 - 1, u'3'));
  return 1;
}

ZELK_EXPORT const char16_t* NeedUpdateZelkEnviroment(const char16_t*, char16_t* status) {
  fill(status, kZelkStatusBufferBytes, u"1");
  return keep<2>(u"需要注册环境");
}

ZELK_EXPORT void LoadSkinData(const char16_t*, char16_t* mode, char16_t* colour, char16_t* image) {
  fill(mode, kZelkStatusBufferBytes, u"1");
  fill(colour, kZelkColourBufferBytes, u"4278190335");
  fill(image, kZelkPathBufferBytes, u"bg.png");
}

ZELK_EXPORT void LoadLoginData(const char16_t*, char16_t* id, char16_t* password,
                               char16_t* remember, char16_t* autoLogin) {
  fill(id, kZelkLoginBufferBytes, u"13800000000");
  fill(password, kZelkLoginBufferBytes, u"secret");
  fill(remember, kZelkStatusBufferBytes, u"1");
  fill(autoLogin, kZelkStatusBufferBytes, u"0");
}

// "full" fills the status buffer to its very end without a terminator, as a faulty library
// might; every other URL that does not raise succeeds.
ZELK_EXPORT const char16_t* GetWebContent(const char16_t* url, char16_t* status) {
  raiseOnRequest(text(url));
  if (text(url) == u"full") {
    for (int i = 0; i < kZelkStatusBufferBytes / 2; ++i) status[i] = u'9';
  } else {
    fill(status, kZelkStatusBufferBytes, u"1");
  }
  return keep<3>(u"reply:" + text(url));
}

ZELK_EXPORT const char16_t* PostWebContent(const char16_t* url, const char16_t* body,
                                           char16_t* status) {
  raiseOnRequest(text(url));
  fill(status, kZelkStatusBufferBytes, u"1");
  return keep<4>(u"posted:" + text(body));
}

ZELK_EXPORT int DownloadImageByUrl(const char16_t* url, const char16_t*, char16_t* error) {
  raiseOnRequest(text(url));
  if (text(url) == u"gone") {
    fill(error, kZelkErrorBufferBytes, u"HTTP 404 Not Found");
    return 0;
  }
  return 3;
}

ZELK_EXPORT const char16_t* UrlEncode(const char16_t* value) {
  if (text(value) == u"throw") throw std::runtime_error("encode");
  return keep<5>(u"enc:" + text(value));
}

ZELK_EXPORT const char16_t* CombinURLRandomParamArge(const char16_t* url) {
  return keep<6>(text(url) == u"empty" ? u"" : text(url) + u"?r=42");
}
