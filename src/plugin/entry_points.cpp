// The library's exports and the instance functions it hands the browser. Nothing may throw
// across this boundary: the browser is C.

#include <memory>
#include <new>

#include "browser_functions.h"
#include "np_types.h"
#include "zelk_plugin.h"

namespace plugin {
namespace {

constexpr const char* kMimeDescription = "application/zelk-plugin::Tamsel插件";

nsPluginInstanceBase* ObjectOf(NPP instance) {
  return static_cast<nsPluginInstanceBase*>(instance->pdata);
}

NPError NewInstance(NPMIMEType, NPP instance, std::uint16_t, std::int16_t, char*[], char*[],
                    NPSavedData*) {
  if (instance == nullptr) return NPERR_INVALID_INSTANCE_ERROR;
  try {
    // The browser's instance record owns the object from here until Destroy.
    instance->pdata = std::make_unique<CZelkPlugin>(instance).release();
  } catch (const std::bad_alloc&) {
    return NPERR_OUT_OF_MEMORY_ERROR;
  }
  return NPERR_NO_ERROR;
}

NPError Destroy(NPP instance, NPSavedData**) {
  if (instance == nullptr) return NPERR_INVALID_INSTANCE_ERROR;
  std::unique_ptr<nsPluginInstanceBase> object(ObjectOf(instance));
  instance->pdata = nullptr;
  if (object != nullptr) object->shut();
  return NPERR_NO_ERROR;
}

NPError SetWindow(NPP instance, NPWindow* window) {
  if (instance == nullptr) return NPERR_INVALID_INSTANCE_ERROR;
  nsPluginInstanceBase* object = ObjectOf(instance);
  if (window == nullptr || object == nullptr) return NPERR_GENERIC_ERROR;
  if (!object->isInitialized() && window->window != nullptr && !object->init(window)) {
    delete object;
    instance->pdata = nullptr;
    return NPERR_MODULE_LOAD_FAILED_ERROR;
  }
  return object->SetWindow(window);
}

NPError NewStream(NPP instance, NPMIMEType type, NPStream* stream, NPBool seekable,
                  std::uint16_t* stype) {
  if (instance == nullptr) return NPERR_INVALID_INSTANCE_ERROR;
  nsPluginInstanceBase* object = ObjectOf(instance);
  if (object == nullptr) return NPERR_GENERIC_ERROR;
  return object->NewStream(type, stream, seekable, stype);
}

NPError DestroyStream(NPP instance, NPStream* stream, NPReason reason) {
  if (instance == nullptr) return NPERR_INVALID_INSTANCE_ERROR;
  nsPluginInstanceBase* object = ObjectOf(instance);
  if (object == nullptr) return NPERR_GENERIC_ERROR;
  return object->DestroyStream(stream, reason);
}

void StreamAsFile(NPP instance, NPStream* stream, const char* fname) {
  if (instance == nullptr || ObjectOf(instance) == nullptr) return;
  ObjectOf(instance)->StreamAsFile(stream, fname);
}

std::int32_t WriteReady(NPP instance, NPStream* stream) {
  if (instance == nullptr || ObjectOf(instance) == nullptr) {
    return nsPluginInstanceBase::kAnyAmount;
  }
  return ObjectOf(instance)->WriteReady(stream);
}

std::int32_t Write(NPP instance, NPStream* stream, std::int32_t offset, std::int32_t len,
                   void* buffer) {
  if (instance == nullptr || ObjectOf(instance) == nullptr) return len;
  return ObjectOf(instance)->Write(stream, offset, len, buffer);
}

void Print(NPP instance, NPPrint* printInfo) {
  if (instance == nullptr || ObjectOf(instance) == nullptr) return;
  ObjectOf(instance)->Print(printInfo);
}

std::int16_t HandleEvent(NPP instance, NPEvent* event) {
  if (instance == nullptr || ObjectOf(instance) == nullptr) return 0;
  return static_cast<std::int16_t>(ObjectOf(instance)->HandleEvent(event));
}

void URLNotify(NPP instance, const char* url, NPReason reason, void* notifyData) {
  if (instance == nullptr || ObjectOf(instance) == nullptr) return;
  ObjectOf(instance)->URLNotify(url, reason, notifyData);
}

NPError GetValue(NPP instance, NPPVariable variable, void* value) {
  if (instance == nullptr) return NPERR_INVALID_INSTANCE_ERROR;
  nsPluginInstanceBase* object = ObjectOf(instance);
  if (object == nullptr) return NPERR_GENERIC_ERROR;
  return object->GetValue(variable, value);
}

NPError SetValue(NPP instance, NPNVariable variable, void* value) {
  if (instance == nullptr) return NPERR_INVALID_INSTANCE_ERROR;
  nsPluginInstanceBase* object = ObjectOf(instance);
  if (object == nullptr) return NPERR_GENERIC_ERROR;
  return object->SetValue(variable, value);
}

}  // namespace
}  // namespace plugin

extern "C" {

NPError NP_GetEntryPoints(NPPluginFuncs* pluginFuncs) {
  if (pluginFuncs == nullptr) return NPERR_INVALID_FUNCTABLE_ERROR;
  // The size stays as the browser set it, and so does the Java class entry.
  pluginFuncs->version = (NP_VERSION_MAJOR << 8) | NP_VERSION_MINOR;
  pluginFuncs->newp = &plugin::NewInstance;
  pluginFuncs->destroy = &plugin::Destroy;
  pluginFuncs->setwindow = &plugin::SetWindow;
  pluginFuncs->newstream = &plugin::NewStream;
  pluginFuncs->destroystream = &plugin::DestroyStream;
  pluginFuncs->asfile = &plugin::StreamAsFile;
  pluginFuncs->writeready = &plugin::WriteReady;
  pluginFuncs->write = &plugin::Write;
  pluginFuncs->print = &plugin::Print;
  pluginFuncs->event = &plugin::HandleEvent;
  pluginFuncs->urlnotify = &plugin::URLNotify;
  pluginFuncs->getvalue = &plugin::GetValue;
  pluginFuncs->setvalue = &plugin::SetValue;
  return NPERR_NO_ERROR;
}

NPError NP_Initialize(NPNetscapeFuncs* browserFuncs, NPPluginFuncs* pluginFuncs) {
  if (browserFuncs == nullptr) return NPERR_INVALID_FUNCTABLE_ERROR;
  if ((browserFuncs->version >> 8) > NP_VERSION_MAJOR) return NPERR_INCOMPATIBLE_VERSION_ERROR;
  if (browserFuncs->size < kMinimumBrowserTableSize) return NPERR_INVALID_FUNCTABLE_ERROR;
  plugin::StoreBrowserFunctions(*browserFuncs);
  return pluginFuncs != nullptr ? NP_GetEntryPoints(pluginFuncs) : NPERR_NO_ERROR;
}

NPError NP_Shutdown() {
  return NPERR_NO_ERROR;
}

const char* NP_GetMIMEDescription() {
  return plugin::kMimeDescription;
}

}  // extern "C"
