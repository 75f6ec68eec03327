// Exports: the log, string tests, URLs and account helpers.

#include "platform/code_page.h"
#include "platform/file_version.h"
#include "platform/paths.h"
#include "platform/user_data_directory.h"
#include "zelklib/export_guard.h"
#include "zelklib/log_file.h"
#include "zelklib/mobile_number.h"
#include "zelklib/out_buffer.h"
#include "zelklib/sealed_text.h"
#include "zelklib/text_tests.h"
#include "zelklib/url_text.h"
#include "zelklib/zelklib_exports.h"

// The library's version, readable from the file like that of our programs.
ZELK_EMBED_FILE_VERSION();

using namespace zelklib;
using platform::Utf16View;

ZELK_EXPORT void AppendLog(const char16_t* programDir, const char16_t* line) {
  GuardedVoid([&] {
    std::string dir = ToUtf8(programDir);
    if (dir.empty()) dir = platform::UserDataDirectory(platform::ProgramDirectory());
    AppendLogLine(LogFilePath(dir), ToUtf8(line));
  });
}

ZELK_EXPORT int StringCompare(const char16_t* a, const char16_t* b) {
  return Guarded(0, [&] { return YesNo(TextsEqual(Utf16View(a), Utf16View(b))); });
}

ZELK_EXPORT int StringStartWith(const char16_t* text, const char16_t* prefix) {
  return Guarded(0, [&] { return YesNo(TextStartsWith(Utf16View(text), Utf16View(prefix))); });
}

ZELK_EXPORT int StringEndWith(const char16_t* text, const char16_t* suffix) {
  return Guarded(0, [&] { return YesNo(TextEndsWith(Utf16View(text), Utf16View(suffix))); });
}

ZELK_EXPORT std::uint32_t StringToDWORD(const char16_t* text) {
  return Guarded<std::uint32_t>(0, [&] { return ParseNumberText(Utf16View(text)); });
}

ZELK_EXPORT const char16_t* CombinURL(const char16_t* base, const char16_t* relative) {
  thread_local std::u16string result;
  return GuardedText(result, [&] { return CombineUrl(Utf16View(base), Utf16View(relative)); });
}

ZELK_EXPORT const char16_t* CombinURLRandomParamArge(const char16_t* url) {
  thread_local std::u16string result;
  return GuardedText(
      result, [&] { return AddUrlArgument(Utf16View(url), UniqueUrlToken()); }, Utf16View(url));
}

ZELK_EXPORT const char16_t* UrlEncode(const char16_t* text) {
  thread_local std::u16string result;
  return GuardedText(
      result, [&] { return EncodeUrl(Utf16View(text)); }, Utf16View(text));
}

ZELK_EXPORT const char16_t* EncryptStr(const char16_t* text) {
  thread_local std::u16string result;
  return GuardedText(result, [&] { return ToUtf16(SealForService(ToUtf8(text)).value_or("")); });
}

ZELK_EXPORT int IsMobileNumber(const char16_t* text) {
  return Guarded(0, [&] { return YesNo(zelklib::IsMobileNumber(Utf16View(text))); });
}

ZELK_EXPORT const char16_t* GetTrueMobileNumber(const char16_t* text) {
  thread_local std::u16string result;
  return GuardedText(
      result, [&] { return NormaliseMobileNumber(Utf16View(text)); }, Utf16View(text));
}
