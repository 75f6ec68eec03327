#pragma once

#include <gdk/gdk.h>

#include <memory>

#include "np_types.h"
#include "ns_plugin_instance_base.h"

namespace plugin {

// The instance the plug-in puts on a page: it paints its rectangle (frame and the browser's
// user-agent text) and does nothing else. It hooks the browser's window the way a toolkit lets
// a guest watch a window it did not create: an event filter on the toolkit's handle of it, which
// paints on each exposure and lets every event go on to the toolkit.
class CZelkPlugin : public nsPluginInstanceBase {
 public:
  explicit CZelkPlugin(NPP instance);
  ~CZelkPlugin() override;
  CZelkPlugin(const CZelkPlugin&) = delete;
  CZelkPlugin& operator=(const CZelkPlugin&) = delete;

  // Fails without a native window, without an X display in the browser's toolkit, or when the
  // window does not exist.
  bool init(NPWindow* window) override;
  void shut() override;
  bool isInitialized() const override;

  NPP instance() const { return instance_; }

 private:
  struct Unref {
    void operator()(GdkWindow* window) const { g_object_unref(window); }
  };

  NPP instance_;
  bool initialized_ = false;
  std::unique_ptr<GdkWindow, Unref> window_;
};

}  // namespace plugin
