#include "test_file_server.h"

#include <algorithm>
#include <chrono>

namespace knowledge_testing {

TestFileServer::TestFileServer(Session session)
    : session_(std::move(session)), thread_([this] { acceptLoop(); }) {}

TestFileServer::~TestFileServer() {
  stopping_ = true;
  listener_.wake();
  thread_.join();
}

void TestFileServer::acceptLoop() {
  while (!stopping_) {
    int handle = -1;
    try {
      handle = listener_.accept();
    } catch (const std::exception&) {
      return;
    }
    PeerSocket peer(handle);
    const int index = connections_.fetch_add(1);
    session_(peer, index);
    {
      std::lock_guard lock(mutex_);
      ++finishedSessions_;
    }
    sessionEnded_.notify_all();
  }
}

bool TestFileServer::waitForSessions(int count) {
  std::unique_lock lock(mutex_);
  return sessionEnded_.wait_for(lock, std::chrono::seconds(30),
                                [&] { return finishedSessions_ >= count; });
}

std::vector<knowledge::DownloadRequest> TestFileServer::requests() const {
  std::lock_guard lock(mutex_);
  return requests_;
}

std::optional<knowledge::DownloadRequest> TestFileServer::nextRequest(const PeerSocket& peer) {
  const std::string frame = peer.readFrame();
  if (frame.size() >= 4 && knowledge::PayloadType(frame) == knowledge::kStopType) {
    ++stops_;
    return std::nullopt;
  }
  auto request = knowledge::DecodeDownloadRequest(frame);
  if (request) {
    std::lock_guard lock(mutex_);
    requests_.push_back(*request);
  }
  return request;
}

std::string TestFileServer::BlockFrame(const std::string& content, std::int32_t offset) {
  const std::size_t from = std::min(content.size(), static_cast<std::size_t>(std::max(offset, 0)));
  const std::string_view data = std::string_view(content).substr(from, knowledge::kBlockDataBytes);
  return knowledge::EncodeFrame(
      knowledge::EncodeDataBlock(static_cast<std::int32_t>(content.size()), offset, data));
}

void TestFileServer::ServeFile(const PeerSocket& peer, const std::string& content) {
  while (const auto request = nextRequest(peer)) peer.write(BlockFrame(content, request->offset));
}

}  // namespace knowledge_testing
