#include "zelklib/path_names.h"

namespace zelklib {
namespace {

bool isSeparator(char16_t c) {
  return c == u'/' || c == u'\\';
}

// The path without a URL's query and fragment, and without trailing separators.
std::u16string_view trimmed(std::u16string_view path) {
  if (path.find(u"://") != std::u16string_view::npos) {
    const auto cut = path.find_first_of(u"?#");
    if (cut != std::u16string_view::npos) path = path.substr(0, cut);
  }
  while (!path.empty() && isSeparator(path.back())) path.remove_suffix(1);
  return path;
}

std::size_t lastSeparator(std::u16string_view path) {
  for (std::size_t i = path.size(); i > 0; --i) {
    if (isSeparator(path[i - 1])) return i - 1;
  }
  return std::u16string_view::npos;
}

std::u16string_view lastComponent(std::u16string_view path) {
  const auto at = lastSeparator(path);
  return at == std::u16string_view::npos ? path : path.substr(at + 1);
}

}  // namespace

std::u16string FileNameOf(std::u16string_view path) {
  const auto rest = trimmed(path);
  // "http://host" names a host, not a file.
  if (rest.find(u"://") != std::u16string_view::npos &&
      lastSeparator(rest) == rest.find(u"://") + 2) {
    return {};
  }
  return std::u16string(lastComponent(rest));
}

std::u16string FileExtensionOf(std::u16string_view path) {
  const std::u16string name = FileNameOf(path);
  const auto dot = name.rfind(u'.');
  if (dot == std::u16string::npos || dot == 0 || dot + 1 == name.size()) return {};
  return name.substr(dot);
}

std::u16string ParentFolderNameOf(std::u16string_view path) {
  auto rest = trimmed(path);
  const auto at = lastSeparator(rest);
  if (at == std::u16string_view::npos) return {};
  rest = rest.substr(0, at);
  while (!rest.empty() && isSeparator(rest.back())) rest.remove_suffix(1);
  const auto name = lastComponent(rest);
  // A drive ("C:") or a URL's scheme ("http:") is not a folder name.
  if (!name.empty() && name.back() == u':') return {};
  return std::u16string(name);
}

}  // namespace zelklib
