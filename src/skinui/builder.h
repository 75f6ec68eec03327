#pragma once

#include <functional>
#include <memory>
#include <stdexcept>
#include <string>
#include <string_view>

class TiXmlElement;

namespace skinui {

class Control;
class ControlRegistry;
class PaintManager;

// A layout that cannot be built; the message names the file, the line, the element and (for
// attributes) the attribute.
class LayoutError : public std::runtime_error {
 public:
  using std::runtime_error::runtime_error;
};

// Creates controls for elements the registry does not know (a window's own row classes).
class IDialogBuilderCallback {
 public:
  virtual ~IDialogBuilderCallback() = default;
  virtual std::unique_ptr<Control> CreateControl(std::string_view element) = 0;
};

struct BuildOptions {
  // Folder of layouts and images (the skin); relative layout names are read from it.
  std::string resourceDir;
  // Receives the attributes of a <Window> root (size, caption, fonts …); may be null.
  PaintManager* manager = nullptr;
  IDialogBuilderCallback* callback = nullptr;
  // Where warnings go (an image file that does not exist); stderr when empty.
  std::function<void(const std::string&)> log;
};

// Reads XML layouts (TinyXML, always as UTF-8). The root is either <Window> holding fonts and
// one root control, or a control element itself (row layouts). Usable on worker threads: it
// touches nothing but the controls it creates.
class Builder {
 public:
  explicit Builder(BuildOptions options);
  Builder(BuildOptions options, const ControlRegistry& registry);

  // Throws LayoutError.
  std::unique_ptr<Control> Create(const std::string& file);
  std::unique_ptr<Control> CreateFromString(const std::string& xml,
                                            const std::string& sourceName = "(text)");
  // Null (and a log line with the reason) instead of an exception.
  std::unique_ptr<Control> CreateOrLog(const std::string& file);

 private:
  std::unique_ptr<Control> BuildDocument(const TiXmlElement* root, const std::string& source,
                                         int depth);
  void ApplyWindowAttributes(const TiXmlElement* window, const std::string& source);
  std::unique_ptr<Control> BuildControl(const TiXmlElement* element, const std::string& source,
                                        int depth);
  std::unique_ptr<Control> BuildNested(const TiXmlElement* element, const std::string& source,
                                       int depth, int nesting);
  std::unique_ptr<Control> LoadFile(const std::string& file, int depth);
  void Warn(const std::string& line) const;

  BuildOptions options_;
  const ControlRegistry& registry_;
};

}  // namespace skinui
