#include "skinui/image_spec.h"

#include "skinui/attribute_values.h"

namespace skinui {

ImageSpec ParseImageSpec(std::string_view text) {
  ImageSpec image;
  if (text.find('=') == std::string_view::npos) {
    // A bare file name; surrounding blanks are not part of it.
    std::size_t b = 0;
    std::size_t e = text.size();
    while (b < e && text[b] == ' ') ++b;
    while (e > b && text[e - 1] == ' ') --e;
    image.file = std::string(text.substr(b, e - b));
    return image;
  }
  std::string_view rest = text;
  while (true) {
    while (!rest.empty() && rest.front() == ' ') rest.remove_prefix(1);
    if (rest.empty()) break;
    const std::size_t eq = rest.find('=');
    if (eq == std::string_view::npos) {
      throw AttributeError("bad image '" + std::string(text) + "'");
    }
    std::string_view key = rest.substr(0, eq);
    while (!key.empty() && key.back() == ' ') key.remove_suffix(1);
    rest.remove_prefix(eq + 1);
    while (!rest.empty() && rest.front() == ' ') rest.remove_prefix(1);
    if (rest.empty() || (rest.front() != '\'' && rest.front() != '"')) {
      throw AttributeError("bad image '" + std::string(text) + "': value of '" + std::string(key) +
                           "' not quoted");
    }
    const char quote = rest.front();
    rest.remove_prefix(1);
    const std::size_t close = rest.find(quote);
    if (close == std::string_view::npos) {
      throw AttributeError("bad image '" + std::string(text) + "': unterminated quote");
    }
    const std::string_view value = rest.substr(0, close);
    rest.remove_prefix(close + 1);
    if (key == "file") {
      image.file = std::string(value);
    } else if (key == "source") {
      image.source = ParseRect(value);
    } else if (key == "corner") {
      image.corner = ParseRect(value);
    } else {
      throw AttributeError("bad image '" + std::string(text) + "': unknown key '" +
                           std::string(key) + "'");
    }
  }
  if (image.file.empty()) throw AttributeError("bad image '" + std::string(text) + "': no file");
  return image;
}

}  // namespace skinui
