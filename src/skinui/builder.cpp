#include "skinui/builder.h"

#include <tinyxml.h>

#include <cstdio>
#include <filesystem>

#include "platform/paths.h"
#include "skinui/attribute_values.h"
#include "skinui/container.h"
#include "skinui/control_registry.h"
#include "skinui/image_spec.h"
#include "skinui/paint_manager.h"

namespace skinui {

namespace {

// An include chain deeper than this is a loop.
constexpr int kMaxIncludeDepth = 16;
// Controls nested deeper than this are a broken (or hostile) file, not a window.
constexpr int kMaxNesting = 200;

std::string Where(const std::string& source, const TiXmlElement* element) {
  return source + ":" + std::to_string(element->Row()) + ": element <" + element->Value() + ">";
}

bool IsImageAttribute(std::string_view name) {
  return name.ends_with("image");
}

}  // namespace

Builder::Builder(BuildOptions options) : Builder(std::move(options), ControlRegistry::Default()) {}

Builder::Builder(BuildOptions options, const ControlRegistry& registry)
    : options_(std::move(options)), registry_(registry) {}

void Builder::Warn(const std::string& line) const {
  if (options_.log) {
    options_.log(line);
  } else {
    std::fprintf(stderr, "%s\n", line.c_str());
  }
}

std::unique_ptr<Control> Builder::Create(const std::string& file) {
  return LoadFile(file, 0);
}

std::unique_ptr<Control> Builder::CreateOrLog(const std::string& file) {
  try {
    return Create(file);
  } catch (const std::exception& e) {
    Warn(e.what());
    return nullptr;
  }
}

std::unique_ptr<Control> Builder::LoadFile(const std::string& file, int depth) {
  const std::string native = platform::NativeSeparators(file);
  const std::string path = !native.empty() && native.front() == '/'
                               ? native
                               : platform::JoinPath(options_.resourceDir, native);
  std::string content;
  if (!platform::ReadWholeFile(path, content)) {
    throw LayoutError(file + ": layout file cannot be read (" + path + ")");
  }
  TiXmlDocument document;
  document.Parse(content.c_str(), nullptr, TIXML_ENCODING_UTF8);
  if (document.Error()) {
    throw LayoutError(file + ":" + std::to_string(document.ErrorRow()) +
                      ": not a layout: " + document.ErrorDesc());
  }
  return BuildDocument(document.RootElement(), file, depth);
}

std::unique_ptr<Control> Builder::CreateFromString(const std::string& xml,
                                                   const std::string& sourceName) {
  TiXmlDocument document;
  document.Parse(xml.c_str(), nullptr, TIXML_ENCODING_UTF8);
  if (document.Error()) {
    throw LayoutError(sourceName + ":" + std::to_string(document.ErrorRow()) +
                      ": not a layout: " + document.ErrorDesc());
  }
  return BuildDocument(document.RootElement(), sourceName, 0);
}

std::unique_ptr<Control> Builder::BuildDocument(const TiXmlElement* root, const std::string& source,
                                                int depth) {
  if (root == nullptr) throw LayoutError(source + ": empty layout");
  if (std::string_view(root->Value()) != "Window") return BuildControl(root, source, depth);
  ApplyWindowAttributes(root, source);
  std::unique_ptr<Control> control;
  for (const TiXmlElement* child = root->FirstChildElement(); child != nullptr;
       child = child->NextSiblingElement()) {
    const std::string_view name = child->Value();
    if (name == "Font") {
      FontSpec font;
      int id = -1;
      bool isDefault = false;
      for (const TiXmlAttribute* a = child->FirstAttribute(); a != nullptr; a = a->Next()) {
        const std::string_view key = a->Name();
        try {
          if (key == "id") {
            id = ParseInt(a->Value());
          } else if (key == "name") {
            font.name = a->Value();
          } else if (key == "size") {
            font.size = ParseInt(a->Value());
          } else if (key == "bold") {
            font.bold = ParseBool(a->Value());
          } else if (key == "underline") {
            font.underline = ParseBool(a->Value());
          } else if (key == "italic") {
            font.italic = ParseBool(a->Value());
          } else if (key == "default") {
            isDefault = ParseBool(a->Value());
          } else {
            throw AttributeError("unknown attribute '" + std::string(key) + "'");
          }
        } catch (const AttributeError& e) {
          throw LayoutError(Where(source, child) + ": " + e.what());
        }
      }
      if (options_.manager != nullptr) {
        if (id >= 0) options_.manager->AddFont(id, font);
        if (isDefault) {
          options_.manager->SetDefaultFont(font.name, font.size, font.bold, font.underline,
                                           font.italic);
        }
      }
      continue;
    }
    if (control) throw LayoutError(Where(source, child) + ": a window holds one root control");
    control = BuildControl(child, source, depth);
  }
  if (!control) throw LayoutError(source + ": the window holds no control");
  return control;
}

void Builder::ApplyWindowAttributes(const TiXmlElement* window, const std::string& source) {
  for (const TiXmlAttribute* a = window->FirstAttribute(); a != nullptr; a = a->Next()) {
    const std::string_view key = a->Name();
    PaintManager* pm = options_.manager;
    try {
      if (key == "size") {
        const Size s = ParseSize(a->Value());
        if (pm) pm->SetInitSize(s.cx, s.cy);
      } else if (key == "caption") {
        const Rect r = ParseRect(a->Value());
        if (pm) pm->SetCaptionRect(r);
      } else if (key == "sizebox") {
        const Rect r = ParseRect(a->Value());
        if (pm) pm->SetSizeBox(r);
      } else if (key == "roundcorner") {
        const Size s = ParseSize(a->Value());
        if (pm) pm->SetRoundCorner(s.cx, s.cy);
      } else if (key == "mininfo") {
        const Size s = ParseSize(a->Value());
        if (pm) pm->SetMinInfo(s.cx, s.cy);
      } else if (key == "maxinfo") {
        const Size s = ParseSize(a->Value());
        if (pm) pm->SetMaxInfo(s.cx, s.cy);
      } else {
        throw AttributeError("unknown attribute '" + std::string(key) + "'");
      }
    } catch (const AttributeError& e) {
      throw LayoutError(Where(source, window) + ": " + e.what());
    }
  }
}

std::unique_ptr<Control> Builder::BuildControl(const TiXmlElement* element,
                                               const std::string& source, int depth) {
  return BuildNested(element, source, depth, 0);
}

std::unique_ptr<Control> Builder::BuildNested(const TiXmlElement* element,
                                              const std::string& source, int depth, int nesting) {
  if (nesting > kMaxNesting) throw LayoutError(Where(source, element) + ": controls nest too deep");
  const std::string_view name = element->Value();
  if (name == "Include") {
    const char* file = element->Attribute("source");
    if (file == nullptr) throw LayoutError(Where(source, element) + ": no 'source' attribute");
    if (depth >= kMaxIncludeDepth) {
      throw LayoutError(Where(source, element) + ": includes nest too deep");
    }
    return LoadFile(file, depth + 1);
  }
  std::unique_ptr<Control> control;
  if (options_.callback != nullptr) control = options_.callback->CreateControl(name);
  if (!control) control = registry_.Create(name);
  if (!control) throw LayoutError(Where(source, element) + ": unknown element");
  for (const TiXmlAttribute* a = element->FirstAttribute(); a != nullptr; a = a->Next()) {
    try {
      control->SetAttribute(a->Name(), std::string_view(a->Value()));
    } catch (const AttributeError& e) {
      throw LayoutError(Where(source, element) + ": " + e.what());
    }
    if (IsImageAttribute(a->Name()) && a->Value()[0] != '\0') {
      const ImageSpec image = ParseImageSpec(a->Value());
      const std::string native = platform::NativeSeparators(image.file);
      const std::string path =
          native.front() == '/' ? native : platform::JoinPath(options_.resourceDir, native);
      std::error_code error;
      if (!std::filesystem::exists(path, error)) {
        Warn(Where(source, element) + " name='" + control->GetName() + "': image '" + image.file +
             "' not found (" + path + ")");
      }
    }
  }
  auto* container = dynamic_cast<Container*>(control.get());
  for (const TiXmlElement* child = element->FirstChildElement(); child != nullptr;
       child = child->NextSiblingElement()) {
    if (container == nullptr) {
      throw LayoutError(Where(source, child) + ": a " + std::string(name) +
                        " cannot hold other controls");
    }
    container->Add(BuildNested(child, source, depth, nesting + 1));
  }
  return control;
}

}  // namespace skinui
