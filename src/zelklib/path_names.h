#pragma once

#include <string>
#include <string_view>

namespace zelklib {

// Parts of a path or URL. Both '/' and '\' separate (the client passes paths of either
// platform, and service names may hold either). For a URL ("scheme://...") the query and the
// fragment are not part of the name.

// The last component: "C:\a\b.txt" -> "b.txt", "http://h/p/a.png?x=1" -> "a.png".
std::u16string FileNameOf(std::u16string_view path);
// The extension of the last component with its dot (".pdf"); empty when it has none. A name
// that starts with its only dot (".profile") or ends with a dot has no extension.
std::u16string FileExtensionOf(std::u16string_view path);
// The name of the folder that holds the last component: "Modules\App\app.exe" -> "App";
// empty when the path has no folder part.
std::u16string ParentFolderNameOf(std::u16string_view path);

}  // namespace zelklib
