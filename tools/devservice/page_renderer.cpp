#include "devservice/page_renderer.h"

#include <dirent.h>

#include <memory>
#include <stdexcept>

#include "devservice/text_util.h"
#include "platform/paths.h"

namespace devservice {

std::string FillTemplate(const std::string& text,
                         const std::map<std::string, std::string>& values) {
  std::string filled;
  std::size_t position = 0;
  while (true) {
    const auto open = text.find("{{", position);
    if (open == std::string::npos) break;
    const auto close = text.find("}}", open + 2);
    if (close == std::string::npos) break;
    const std::string key = text.substr(open + 2, close - open - 2);
    const auto value = values.find(key);
    if (value == values.end())
      throw std::runtime_error("no value for the placeholder {{" + key + "}}");
    filled.append(text, position, open - position);
    filled += value->second;
    position = close + 2;
  }
  filled.append(text, position);
  return filled;
}

PageRenderer::PageRenderer(const std::string& dataDir) {
  const std::string folder = platform::JoinPath(dataDir, "pages");
  const std::unique_ptr<DIR, int (*)(DIR*)> directory(opendir(folder.c_str()), closedir);
  if (!directory) throw std::runtime_error("cannot read the page folder " + folder);
  while (const dirent* entry = readdir(directory.get())) {
    const std::string fileName = entry->d_name;
    if (fileName.size() <= 5 || !fileName.ends_with(".html")) continue;
    std::string text;
    if (!platform::ReadWholeFile(platform::JoinPath(folder, fileName), text)) {
      throw std::runtime_error("cannot read the page template " + fileName);
    }
    templates_[fileName.substr(0, fileName.size() - 5)] = std::move(text);
  }
  if (!has("layout")) throw std::runtime_error(folder + " has no layout.html");
}

std::string PageRenderer::fill(const std::string& name,
                               const std::map<std::string, std::string>& values) const {
  const auto found = templates_.find(name);
  if (found == templates_.end()) throw std::runtime_error("no page template " + name);
  return FillTemplate(found->second, values);
}

std::string PageRenderer::page(const std::string& name, const std::string& title,
                               const std::map<std::string, std::string>& values) const {
  return fill("layout", {{"title", HtmlEscape(title)}, {"content", fill(name, values)}});
}

}  // namespace devservice
