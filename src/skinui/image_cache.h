#pragma once

#include <cairo.h>

#include <functional>
#include <map>
#include <memory>
#include <string>

namespace skinui {

class ImagePrefetch;

struct SurfaceDeleter {
  void operator()(cairo_surface_t* s) const { cairo_surface_destroy(s); }
};
using PictureSurface = std::unique_ptr<cairo_surface_t, SurfaceDeleter>;

// The file of a picture name: relative to the resource folder, absolute names as they are.
std::string ResolvePicture(const std::string& resourceDir, const std::string& file);

// Decodes a picture file: PNG by cairo itself, the other formats through gdk-pixbuf. Null when
// the file is missing or no picture. Callable from any thread.
PictureSurface DecodePicture(const std::string& path);

// Decoded images of a window thread, by file name relative to the resource folder (absolute
// names are taken as they are). Any format gdk-pixbuf reads (PNG, JPEG, ICO, BMP, GIF) works.
// A file that cannot be loaded is logged once and then answered as missing without retrying
// until Forget() (a picture cache may write it later).
// Whether a file is a picture of a format the cache reads, no larger than a window can show
// (read from its header only; callable from any thread).
bool IsDisplayablePicture(const std::string& path);

class ImageCache {
 public:
  using LogSink = std::function<void(const std::string&)>;
  ImageCache(std::string resourceDir, LogSink log);
  ~ImageCache();

  void SetResourceDir(std::string dir);
  const std::string& ResourceDir() const { return resourceDir_; }
  std::string Resolve(const std::string& file) const;
  // Null when the file is missing or not an image.
  cairo_surface_t* Get(const std::string& file);
  void Forget(const std::string& file);
  // Pictures decoded ahead for this resource folder, taken over at first use.
  void Adopt(std::unique_ptr<ImagePrefetch> prefetch);

 private:
  std::string resourceDir_;
  LogSink log_;
  std::map<std::string, PictureSurface> surfaces_;  // null entry = known missing
  std::unique_ptr<ImagePrefetch> prefetch_;
};

}  // namespace skinui
