#include "devservice/file_transfer_pace.h"

namespace devservice {

bool FileTransferPace::set(std::int64_t bytesPerSecond) {
  if (bytesPerSecond != 0 && bytesPerSecond < kMinBytesPerSecond) return false;
  {
    std::lock_guard lock(mutex_);
    bytesPerSecond_ = bytesPerSecond;
    ++generation_;
  }
  changed_.notify_all();
  return true;
}

std::int64_t FileTransferPace::bytesPerSecond() const {
  std::lock_guard lock(mutex_);
  return bytesPerSecond_;
}

void FileTransferPace::holdBack(std::size_t bytes) const {
  std::unique_lock lock(mutex_);
  if (bytesPerSecond_ == 0 || bytes == 0) return;
  const auto wait =
      std::chrono::microseconds(static_cast<std::int64_t>(bytes) * 1'000'000 / bytesPerSecond_);
  const std::uint64_t generation = generation_;
  changed_.wait_for(lock, wait, [&] { return generation_ != generation; });
}

}  // namespace devservice
