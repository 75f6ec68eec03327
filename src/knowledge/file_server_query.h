#pragma once

#include <cstdint>
#include <functional>
#include <optional>
#include <string>
#include <string_view>

#include "core/zelk_lib_binding.h"
#include "knowledge/download_record.h"

namespace knowledge {

// Where the file server for a file lies, as the service names it.
struct FileServerAddress {
  std::string ServerIp;  // dotted IPv4, ANSI
  std::int32_t ServerPort = 0;
  std::string ServerHost;  // host name, ANSI

  // The address counts as known with a port above 0 and an IP.
  bool known() const { return ServerPort > 0 && !ServerIp.empty(); }
};

// The address query as the engine calls it: kind, FileName, out-address; true on success.
// The knowledge queue and the app center pass the same query.
using FileServerQuery =
    std::function<bool(StoreFileKind kind, const std::u16string& fileName, FileServerAddress&)>;

// Reads the service's reply: "result" 1, "msg" "ip:port" (more than one part when split at
// ':'), and the host from the first part of "msg_ex" when there is one. nullopt when the reply
// is no JSON object, "result" is not 1, or "msg" has no colon.
std::optional<FileServerAddress> ParseFileServerReply(std::string_view replyAnsi);

// Asks the service where the file server for a file lies
// ("zelk/FileServerLiveForm.aspx?kind=3&fileKind=%d&fileName=%s", the FileName unescaped).
// Clears `address` first; fails silently (false) when the request or the reply fails.
// Runs on the transfer's worker thread.
bool QueryFileServer(const core::ZelkLibBinding& lib, StoreFileKind kind,
                     const std::u16string& fileName, FileServerAddress& address);

// A FileServerQuery bound to a library binding that outlives it.
FileServerQuery MakeFileServerQuery(const core::ZelkLibBinding& lib);

}  // namespace knowledge
