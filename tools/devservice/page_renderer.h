#pragma once

#include <map>
#include <string>

namespace devservice {

// The web pages of the service: HTML templates in the data folder's pages/ with {{name}}
// placeholders. Every page is a fragment placed into layout.html. Templates are read once at
// start; a placeholder without a value is an error, never an empty hole in a page.
class PageRenderer {
 public:
  // Reads every pages/*.html; raises std::runtime_error when layout.html is missing.
  explicit PageRenderer(const std::string& dataDir);

  bool has(const std::string& name) const { return templates_.contains(name); }
  // Fills the fragment `name` and puts it into the layout with the title (escaped here). Values
  // are inserted as they are: callers escape texts with HtmlEscape. Raises std::runtime_error for
  // an unknown template or a placeholder without a value.
  std::string page(const std::string& name, const std::string& title,
                   const std::map<std::string, std::string>& values) const;
  std::string fill(const std::string& name, const std::map<std::string, std::string>& values) const;

 private:
  std::map<std::string, std::string> templates_;
};

// Replaces every {{key}} of a template; raises std::runtime_error naming the first
// placeholder that has no value.
std::string FillTemplate(const std::string& text, const std::map<std::string, std::string>& values);

}  // namespace devservice
