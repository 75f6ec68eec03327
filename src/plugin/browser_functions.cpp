#include "browser_functions.h"

namespace plugin {
namespace {

// The library's one copy of the browser's table, as the interface wants it: the browser hands
// the table once per process, and every instance calls through it.
NPNetscapeFuncs& Browser() {
  static NPNetscapeFuncs browser{};
  return browser;
}

bool BrowserHasMinor(std::uint16_t minor) {
  return (Browser().version & 0xFF) >= minor;
}

}  // namespace

void StoreBrowserFunctions(const NPNetscapeFuncs& browser) {
  NPNetscapeFuncs& copy = Browser();
  copy.size = browser.size;
  copy.version = browser.version;
  copy.geturl = browser.geturl;
  copy.posturl = browser.posturl;
  copy.requestread = browser.requestread;
  copy.newstream = browser.newstream;
  copy.write = browser.write;
  copy.destroystream = browser.destroystream;
  copy.status = browser.status;
  copy.uagent = browser.uagent;
  copy.memalloc = browser.memalloc;
  copy.memfree = browser.memfree;
  copy.memflush = browser.memflush;
  copy.reloadplugins = browser.reloadplugins;
  copy.getJavaEnv = browser.getJavaEnv;
  copy.getJavaPeer = browser.getJavaPeer;
  copy.geturlnotify = browser.geturlnotify;
  copy.posturlnotify = browser.posturlnotify;
  copy.getvalue = browser.getvalue;
  copy.setvalue = browser.setvalue;
  copy.invalidaterect = browser.invalidaterect;
  copy.invalidateregion = browser.invalidateregion;
  copy.forceredraw = browser.forceredraw;
}

std::uint16_t BrowserVersion() {
  return Browser().version;
}

NPError NPN_GetURL(NPP instance, const char* url, const char* window) {
  if (Browser().geturl == nullptr) return NPERR_GENERIC_ERROR;
  return Browser().geturl(instance, url, window);
}

NPError NPN_PostURL(NPP instance, const char* url, const char* window, std::uint32_t len,
                    const char* buf, NPBool file) {
  if (Browser().posturl == nullptr) return NPERR_GENERIC_ERROR;
  return Browser().posturl(instance, url, window, len, buf, file);
}

NPError NPN_RequestRead(NPStream* stream, NPByteRange* rangeList) {
  if (Browser().requestread == nullptr) return NPERR_GENERIC_ERROR;
  return Browser().requestread(stream, rangeList);
}

NPError NPN_NewStream(NPP instance, NPMIMEType type, const char* window, NPStream** stream) {
  if (!BrowserHasMinor(NPVERS_HAS_STREAMOUTPUT)) return NPERR_INCOMPATIBLE_VERSION_ERROR;
  if (Browser().newstream == nullptr) return NPERR_GENERIC_ERROR;
  return Browser().newstream(instance, type, window, stream);
}

std::int32_t NPN_Write(NPP instance, NPStream* stream, std::int32_t len, void* buffer) {
  if (!BrowserHasMinor(NPVERS_HAS_STREAMOUTPUT) || Browser().write == nullptr) return -1;
  return Browser().write(instance, stream, len, buffer);
}

NPError NPN_DestroyStream(NPP instance, NPStream* stream, NPReason reason) {
  if (!BrowserHasMinor(NPVERS_HAS_STREAMOUTPUT)) return NPERR_INCOMPATIBLE_VERSION_ERROR;
  if (Browser().destroystream == nullptr) return NPERR_GENERIC_ERROR;
  return Browser().destroystream(instance, stream, reason);
}

void NPN_Status(NPP instance, const char* message) {
  if (Browser().status != nullptr) Browser().status(instance, message);
}

const char* NPN_UserAgent(NPP instance) {
  return Browser().uagent != nullptr ? Browser().uagent(instance) : nullptr;
}

void* NPN_MemAlloc(std::uint32_t size) {
  return Browser().memalloc != nullptr ? Browser().memalloc(size) : nullptr;
}

void NPN_MemFree(void* ptr) {
  if (Browser().memfree != nullptr) Browser().memfree(ptr);
}

std::uint32_t NPN_MemFlush(std::uint32_t size) {
  return Browser().memflush != nullptr ? Browser().memflush(size) : 0;
}

void NPN_ReloadPlugins(NPBool reloadPages) {
  if (Browser().reloadplugins != nullptr) Browser().reloadplugins(reloadPages);
}

void* NPN_GetJavaEnv() {
  return Browser().getJavaEnv != nullptr ? Browser().getJavaEnv() : nullptr;
}

void* NPN_GetJavaPeer(NPP instance) {
  return Browser().getJavaPeer != nullptr ? Browser().getJavaPeer(instance) : nullptr;
}

NPError NPN_GetURLNotify(NPP instance, const char* url, const char* window, void* notifyData) {
  if (!BrowserHasMinor(NPVERS_HAS_NOTIFICATION)) return NPERR_INCOMPATIBLE_VERSION_ERROR;
  if (Browser().geturlnotify == nullptr) return NPERR_GENERIC_ERROR;
  return Browser().geturlnotify(instance, url, window, notifyData);
}

NPError NPN_PostURLNotify(NPP instance, const char* url, const char* window, std::uint32_t len,
                          const char* buf, NPBool file, void* notifyData) {
  if (!BrowserHasMinor(NPVERS_HAS_NOTIFICATION)) return NPERR_INCOMPATIBLE_VERSION_ERROR;
  if (Browser().posturlnotify == nullptr) return NPERR_GENERIC_ERROR;
  return Browser().posturlnotify(instance, url, window, len, buf, file, notifyData);
}

NPError NPN_GetValue(NPP instance, NPNVariable variable, void* value) {
  if (Browser().getvalue == nullptr) return NPERR_GENERIC_ERROR;
  return Browser().getvalue(instance, variable, value);
}

NPError NPN_SetValue(NPP instance, NPPVariable variable, void* value) {
  if (Browser().setvalue == nullptr) return NPERR_GENERIC_ERROR;
  return Browser().setvalue(instance, variable, value);
}

void NPN_InvalidateRect(NPP instance, NPRect* rect) {
  if (Browser().invalidaterect != nullptr) Browser().invalidaterect(instance, rect);
}

void NPN_InvalidateRegion(NPP instance, NPRegion region) {
  if (Browser().invalidateregion != nullptr) Browser().invalidateregion(instance, region);
}

void NPN_ForceRedraw(NPP instance) {
  if (Browser().forceredraw != nullptr) Browser().forceredraw(instance);
}

}  // namespace plugin
