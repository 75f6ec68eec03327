#pragma once

#include <cstdint>

#include "np_types.h"

// The browser's calls as the plug-in makes them. NP_Initialize keeps one copy of the browser's
// table for the whole library; every wrapper goes through that copy. The calls that came with
// later minor versions of the interface are refused with NPERR_INCOMPATIBLE_VERSION_ERROR (a
// write with -1) when the browser is older, without calling it. A call the browser left empty
// fails the same way instead of jumping to null.
namespace plugin {

// Copies the size, the version and the browser calls the plug-in knows.
void StoreBrowserFunctions(const NPNetscapeFuncs& browser);
// The stored version (major in the high byte).
std::uint16_t BrowserVersion();

NPError NPN_GetURL(NPP instance, const char* url, const char* window);
NPError NPN_PostURL(NPP instance, const char* url, const char* window, std::uint32_t len,
                    const char* buf, NPBool file);
NPError NPN_RequestRead(NPStream* stream, NPByteRange* rangeList);
NPError NPN_NewStream(NPP instance, NPMIMEType type, const char* window, NPStream** stream);
std::int32_t NPN_Write(NPP instance, NPStream* stream, std::int32_t len, void* buffer);
NPError NPN_DestroyStream(NPP instance, NPStream* stream, NPReason reason);
void NPN_Status(NPP instance, const char* message);
// The browser's user-agent text for an instance; null when the browser gives none.
const char* NPN_UserAgent(NPP instance);
void* NPN_MemAlloc(std::uint32_t size);
void NPN_MemFree(void* ptr);
std::uint32_t NPN_MemFlush(std::uint32_t size);
void NPN_ReloadPlugins(NPBool reloadPages);
void* NPN_GetJavaEnv();
void* NPN_GetJavaPeer(NPP instance);
NPError NPN_GetURLNotify(NPP instance, const char* url, const char* window, void* notifyData);
NPError NPN_PostURLNotify(NPP instance, const char* url, const char* window, std::uint32_t len,
                          const char* buf, NPBool file, void* notifyData);
NPError NPN_GetValue(NPP instance, NPNVariable variable, void* value);
NPError NPN_SetValue(NPP instance, NPPVariable variable, void* value);
void NPN_InvalidateRect(NPP instance, NPRect* rect);
void NPN_InvalidateRegion(NPP instance, NPRegion region);
void NPN_ForceRedraw(NPP instance);

}  // namespace plugin
