#pragma once

#include <optional>
#include <string>
#include <string_view>

namespace knowledge {

// Shown when a title gives no usable local file name (only dots, nothing left, ...).
inline constexpr char16_t kUnusableLocalFileNameReason[] = u"文件标题无法用作本地文件名，不能下载.";

// Replaces each of the fifteen characters / ? - ~ ^ % @ # ! & * [ ] { } of a title by '_'.
std::u16string ReplaceTitleCharacters(std::u16string_view title);

// LocalFileName of a record: the title with its characters replaced, followed by the extension
// of the record's FileName (as GetFileExt gives it, dot included), then made one safe file-name
// component (platform::SanitiseFileName). nullopt when no usable name remains.
std::optional<std::u16string> MakeLocalFileName(std::u16string_view title,
                                                std::u16string_view extension);

// A name read back from the history file passes the same sanitiser before it is joined to the
// download folder: a file edited by hand must not lead a download out of that folder.
std::optional<std::u16string> SanitiseLocalFileName(std::u16string_view localFileName);

// LocalFullName: the download folder joined with the local file name by one separator.
std::u16string MakeLocalFullName(std::u16string_view downloadFolder,
                                 std::u16string_view localFileName);

}  // namespace knowledge
