#pragma once

#include <cstdint>

#include "np_types.h"

namespace plugin {

// The operations of one plug-in instance, in the order the instance functions forward to them.
// A plug-in overrides what it needs; the defaults accept everything and do nothing, so a stream
// sent to an instance is taken in full and dropped.
class nsPluginInstanceBase {
 public:
  // What WriteReady answers: "send as much as you like".
  static constexpr std::int32_t kAnyAmount = 0x0FFFFFFF;

  virtual ~nsPluginInstanceBase() = default;

  virtual bool init(NPWindow* window) = 0;
  virtual void shut() = 0;
  virtual bool isInitialized() const = 0;

  virtual NPError SetWindow(NPWindow* window);
  virtual NPError NewStream(NPMIMEType type, NPStream* stream, NPBool seekable,
                            std::uint16_t* stype);
  virtual NPError DestroyStream(NPStream* stream, NPReason reason);
  virtual void StreamAsFile(NPStream* stream, const char* fname);
  virtual std::int32_t WriteReady(NPStream* stream);
  virtual std::int32_t Write(NPStream* stream, std::int32_t offset, std::int32_t len, void* buffer);
  virtual void Print(NPPrint* printInfo);
  virtual std::uint16_t HandleEvent(NPEvent* event);
  virtual void URLNotify(const char* url, NPReason reason, void* notifyData);
  virtual NPError GetValue(NPPVariable variable, void* value);
  virtual NPError SetValue(NPNVariable variable, void* value);
};

}  // namespace plugin
