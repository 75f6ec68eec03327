#include "skinui/image_prefetch.h"

#include <tinyxml.h>

#include <set>
#include <string_view>

#include "platform/paths.h"
#include "skinui/image_spec.h"

namespace skinui {

namespace {

bool IsImageAttribute(std::string_view name) {
  return name.ends_with("image");
}

// The picture files an element and its descendants name, in document order, each once.
void CollectPictures(const TiXmlElement& element, std::set<std::string>& seen,
                     std::vector<std::string>& files) {
  for (const TiXmlAttribute* a = element.FirstAttribute(); a != nullptr; a = a->Next()) {
    if (!IsImageAttribute(a->Name())) continue;
    try {
      std::string file = ParseImageSpec(a->Value()).file;
      if (!file.empty() && seen.insert(file).second) files.push_back(std::move(file));
    } catch (...) {
      // A malformed value is the builder's to report.
    }
  }
  for (const TiXmlElement* child = element.FirstChildElement(); child != nullptr;
       child = child->NextSiblingElement()) {
    CollectPictures(*child, seen, files);
  }
}

}  // namespace

ImagePrefetch::ImagePrefetch(std::string resourceDir, std::vector<std::string> layoutFiles)
    : resourceDir_(std::move(resourceDir)),
      worker_([this, layouts = std::move(layoutFiles)] { Run(layouts); }) {}

ImagePrefetch::~ImagePrefetch() {
  stopping_ = true;
  WaitUntilDone();
}

void ImagePrefetch::WaitUntilDone() {
  if (worker_.joinable()) worker_.join();
}

PictureSurface ImagePrefetch::Take(const std::string& file) {
  const std::lock_guard lock(mutex_);
  const auto it = decoded_.find(file);
  if (it == decoded_.end()) return nullptr;
  PictureSurface surface = std::move(it->second);
  decoded_.erase(it);
  return surface;
}

void ImagePrefetch::Run(const std::vector<std::string>& layoutFiles) {
  try {
    std::set<std::string> seen;
    std::vector<std::string> files;
    for (const std::string& layout : layoutFiles) {
      std::string content;
      if (!platform::ReadWholeFile(platform::JoinPath(resourceDir_, layout), content)) continue;
      TiXmlDocument document;
      document.Parse(content.c_str(), nullptr, TIXML_ENCODING_UTF8);
      if (const TiXmlElement* root = document.RootElement()) CollectPictures(*root, seen, files);
    }
    for (const std::string& file : files) {
      if (stopping_) return;
      PictureSurface surface = DecodePicture(ResolvePicture(resourceDir_, file));
      if (!surface) continue;
      const std::lock_guard lock(mutex_);
      decoded_.emplace(file, std::move(surface));
    }
  } catch (...) {
    // What was decoded stays; the rest is decoded at first use.
  }
}

}  // namespace skinui
