#pragma once

#include <atomic>
#include <map>
#include <memory>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

#include "skinui/image_cache.h"

namespace skinui {

// The pictures that layouts name, decoded on a thread of its own while the window thread does
// other start-up work (opening the display takes a while, mostly inside the graphics driver),
// so that a window's first frame finds them decoded. The image cache takes them over at first
// use (ImageCache::Adopt); a picture the worker has not finished is decoded there again: nobody
// waits for the worker.
class ImagePrefetch {
 public:
  // Decodes, in document order, every picture named by an image attribute ("bkimage",
  // "normalimage" …) of the layout files, which are named relative to `resourceDir`.
  ImagePrefetch(std::string resourceDir, std::vector<std::string> layoutFiles);
  // Stops after the picture in hand.
  ~ImagePrefetch();
  ImagePrefetch(const ImagePrefetch&) = delete;
  ImagePrefetch& operator=(const ImagePrefetch&) = delete;

  const std::string& ResourceDir() const { return resourceDir_; }
  // Returns once the worker has decoded every picture (for callers that want them all).
  void WaitUntilDone();
  // The decoded picture of `file` (as the layout names it), handed over once; null when the
  // layouts do not name it or the worker has not decoded it (yet).
  PictureSurface Take(const std::string& file);

 private:
  void Run(const std::vector<std::string>& layoutFiles);

  const std::string resourceDir_;
  std::mutex mutex_;
  std::map<std::string, PictureSurface> decoded_;
  std::atomic<bool> stopping_{false};
  std::thread worker_;  // last: it starts once the members above exist
};

}  // namespace skinui
