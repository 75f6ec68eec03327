#include "skinui/image_cache.h"

#include <gdk-pixbuf/gdk-pixbuf.h>

#include "platform/paths.h"
#include "skinui/image_prefetch.h"

namespace skinui {

ImageCache::ImageCache(std::string resourceDir, LogSink log)
    : resourceDir_(std::move(resourceDir)), log_(std::move(log)) {}

ImageCache::~ImageCache() = default;

void ImageCache::SetResourceDir(std::string dir) {
  resourceDir_ = std::move(dir);
  surfaces_.clear();
  prefetch_.reset();
}

std::string ResolvePicture(const std::string& resourceDir, const std::string& file) {
  const std::string native = platform::NativeSeparators(file);
  if (!native.empty() && native.front() == '/') return native;
  return platform::JoinPath(resourceDir, native);
}

std::string ImageCache::Resolve(const std::string& file) const {
  return ResolvePicture(resourceDir_, file);
}

bool IsDisplayablePicture(const std::string& path) {
  // Far larger than any skin or service picture: a bigger one would only cost memory.
  constexpr int kMaxSide = 8192;
  int width = 0;
  int height = 0;
  return gdk_pixbuf_get_file_info(path.c_str(), &width, &height) != nullptr && width > 0 &&
         height > 0 && width <= kMaxSide && height <= kMaxSide;
}

namespace {

// PNG files (every skin picture) are read by cairo itself, straight into premultiplied pixels:
// far less work than gdk-pixbuf's loader, sniffing and conversion, and the first frame of a
// window is mostly its pictures. Always ARGB32, whatever the file holds, for those who read the
// pixels. Null when the file is no PNG.
PictureSurface LoadPng(const std::string& path) {
  PictureSurface png(cairo_image_surface_create_from_png(path.c_str()));
  if (cairo_surface_status(png.get()) != CAIRO_STATUS_SUCCESS) return nullptr;
  if (cairo_image_surface_get_format(png.get()) == CAIRO_FORMAT_ARGB32) return png;
  PictureSurface argb(cairo_image_surface_create(CAIRO_FORMAT_ARGB32,
                                                 cairo_image_surface_get_width(png.get()),
                                                 cairo_image_surface_get_height(png.get())));
  const std::unique_ptr<cairo_t, decltype(&cairo_destroy)> cr(cairo_create(argb.get()),
                                                              &cairo_destroy);
  cairo_set_operator(cr.get(), CAIRO_OPERATOR_SOURCE);
  cairo_set_source_surface(cr.get(), png.get(), 0, 0);
  cairo_paint(cr.get());
  if (cairo_status(cr.get()) != CAIRO_STATUS_SUCCESS) return nullptr;
  return argb;
}

}  // namespace

PictureSurface DecodePicture(const std::string& path) {
  if (PictureSurface png = LoadPng(path)) return png;
  // Other formats: pictures of the service (JPEG, GIF, BMP, ICO).
  GError* error = nullptr;
  GdkPixbuf* pixbuf = gdk_pixbuf_new_from_file(path.c_str(), &error);
  if (pixbuf == nullptr) {
    if (error != nullptr) g_error_free(error);
    return nullptr;
  }
  std::unique_ptr<GdkPixbuf, decltype(&g_object_unref)> owner(pixbuf, &g_object_unref);
  const int width = gdk_pixbuf_get_width(pixbuf);
  const int height = gdk_pixbuf_get_height(pixbuf);
  const int channels = gdk_pixbuf_get_n_channels(pixbuf);
  const int stride = gdk_pixbuf_get_rowstride(pixbuf);
  const guchar* pixels = gdk_pixbuf_get_pixels(pixbuf);
  PictureSurface surface(cairo_image_surface_create(CAIRO_FORMAT_ARGB32, width, height));
  if (cairo_surface_status(surface.get()) != CAIRO_STATUS_SUCCESS) return nullptr;
  cairo_surface_flush(surface.get());
  unsigned char* out = cairo_image_surface_get_data(surface.get());
  const int outStride = cairo_image_surface_get_stride(surface.get());
  // Cairo wants native-endian premultiplied ARGB; gdk-pixbuf gives straight RGB(A) bytes.
  for (int y = 0; y < height; ++y) {
    const guchar* src = pixels + static_cast<std::size_t>(y) * stride;
    auto* dst = reinterpret_cast<std::uint32_t*>(out + static_cast<std::size_t>(y) * outStride);
    for (int x = 0; x < width; ++x) {
      const guchar* p = src + x * channels;
      const std::uint32_t a = channels == 4 ? p[3] : 255;
      const std::uint32_t r = p[0] * a / 255;
      const std::uint32_t g = p[1] * a / 255;
      const std::uint32_t b = p[2] * a / 255;
      dst[x] = (a << 24) | (r << 16) | (g << 8) | b;
    }
  }
  cairo_surface_mark_dirty(surface.get());
  return surface;
}

cairo_surface_t* ImageCache::Get(const std::string& file) {
  if (file.empty()) return nullptr;
  if (const auto it = surfaces_.find(file); it != surfaces_.end()) return it->second.get();
  const std::string path = Resolve(file);
  PictureSurface surface = prefetch_ ? prefetch_->Take(file) : nullptr;
  if (!surface) surface = DecodePicture(path);
  if (!surface && log_) log_("image '" + file + "' cannot be loaded from " + path);
  cairo_surface_t* result = surface.get();
  surfaces_.emplace(file, std::move(surface));
  return result;
}

void ImageCache::Forget(const std::string& file) {
  surfaces_.erase(file);
  // A picture decoded ahead may be older than the file now.
  if (prefetch_) prefetch_->Take(file);
}

void ImageCache::Adopt(std::unique_ptr<ImagePrefetch> prefetch) {
  if (prefetch && prefetch->ResourceDir() == resourceDir_) prefetch_ = std::move(prefetch);
}

}  // namespace skinui
