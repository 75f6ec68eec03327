#include "ns_plugin_instance_base.h"

namespace plugin {

NPError nsPluginInstanceBase::SetWindow(NPWindow*) {
  return NPERR_NO_ERROR;
}

NPError nsPluginInstanceBase::NewStream(NPMIMEType, NPStream*, NPBool, std::uint16_t*) {
  return NPERR_NO_ERROR;
}

NPError nsPluginInstanceBase::DestroyStream(NPStream*, NPReason) {
  return NPERR_NO_ERROR;
}

void nsPluginInstanceBase::StreamAsFile(NPStream*, const char*) {}

std::int32_t nsPluginInstanceBase::WriteReady(NPStream*) {
  return kAnyAmount;
}

std::int32_t nsPluginInstanceBase::Write(NPStream*, std::int32_t, std::int32_t len, void*) {
  return len;
}

void nsPluginInstanceBase::Print(NPPrint*) {}

std::uint16_t nsPluginInstanceBase::HandleEvent(NPEvent*) {
  return 0;
}

void nsPluginInstanceBase::URLNotify(const char*, NPReason, void*) {}

NPError nsPluginInstanceBase::GetValue(NPPVariable, void*) {
  return NPERR_NO_ERROR;
}

NPError nsPluginInstanceBase::SetValue(NPNVariable, void*) {
  return NPERR_NO_ERROR;
}

}  // namespace plugin
