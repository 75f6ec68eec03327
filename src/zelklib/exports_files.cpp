// Exports: files, folders and archives.

#include <string>

#include "platform/code_page.h"
#include "zelklib/archive_extractor.h"
#include "zelklib/export_guard.h"
#include "zelklib/file_in_use.h"
#include "zelklib/file_ops.h"
#include "zelklib/out_buffer.h"
#include "zelklib/path_names.h"
#include "zelklib/zelklib_exports.h"

using namespace zelklib;
using platform::Utf16View;

ZELK_EXPORT int FileExist(const char16_t* path) {
  return Guarded(0, [&] { return YesNo(IsFile(ToUtf8(path))); });
}

ZELK_EXPORT int FileDelete(const char16_t* path) {
  return Guarded(0, [&] { return YesNo(RemoveFile(ToUtf8(path))); });
}

ZELK_EXPORT int PathExist(const char16_t* folder) {
  return Guarded(0, [&] { return YesNo(IsFolder(ToUtf8(folder))); });
}

ZELK_EXPORT int PathDelete(const char16_t* folder) {
  return Guarded(0, [&] { return YesNo(RemoveFolder(ToUtf8(folder))); });
}

ZELK_EXPORT int MoveDir(const char16_t* source, const char16_t* target) {
  return Guarded(0, [&] { return YesNo(MoveFolder(ToUtf8(source), ToUtf8(target))); });
}

ZELK_EXPORT int UnZipFile(const char16_t* archive, const char16_t* targetFolder) {
  return Guarded(0, [&] { return YesNo(ExtractArchive(ToUtf8(archive), ToUtf8(targetFolder))); });
}

ZELK_EXPORT int TryCreateFolderPathByFileName(const char16_t* filePath) {
  return Guarded(0, [&] {
    const std::string path = ToUtf8(filePath);
    return YesNo(!path.empty() && EnsureParentFolder(path));
  });
}

ZELK_EXPORT int CheckFileIsUsing(const char16_t* path) {
  return Guarded(0, [&] { return YesNo(IsFileInUse(ToUtf8(path))); });
}

ZELK_EXPORT const char16_t* GetFileExt(const char16_t* path) {
  thread_local std::u16string result;
  return GuardedText(result, [&] { return FileExtensionOf(Utf16View(path)); });
}

ZELK_EXPORT const char16_t* GetFileName(const char16_t* path) {
  thread_local std::u16string result;
  return GuardedText(result, [&] { return FileNameOf(Utf16View(path)); });
}

ZELK_EXPORT const char16_t* GetFileParentDirectoryName(const char16_t* path) {
  thread_local std::u16string result;
  return GuardedText(result, [&] { return ParentFolderNameOf(Utf16View(path)); });
}

ZELK_EXPORT int GetFileSizeAndVersion(const char16_t* filePath, char16_t* sizeBuffer52,
                                      char16_t* versionBuffer100) {
  CopyToBuffer({}, sizeBuffer52, kZelkFileSizeBufferBytes);
  CopyToBuffer({}, versionBuffer100, kZelkVersionBufferBytes);
  return Guarded(0, [&] {
    const auto info = ReadFileSizeAndVersion(ToUtf8(filePath));
    if (!info) return 0;
    CopyToBuffer(ToUtf16(std::to_string(info->size)), sizeBuffer52, kZelkFileSizeBufferBytes);
    CopyToBuffer(ToUtf16(info->version), versionBuffer100, kZelkVersionBufferBytes);
    return 1;
  });
}
