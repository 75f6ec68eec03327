#pragma once

// The browser plug-in interface as this plug-in sees it: the handles, records and function
// tables a browser and a plug-in exchange, declared here from the interface's description so
// that the library needs no header but its own. The tables keep the interface's field order,
// because the browser and the plug-in read each other's tables by position.

#include <cstdint>

extern "C" {

using NPError = std::int16_t;
using NPReason = std::int16_t;
using NPBool = unsigned char;
using NPMIMEType = char*;

// Result codes every interface function returns.
inline constexpr NPError NPERR_NO_ERROR = 0;
inline constexpr NPError NPERR_GENERIC_ERROR = 1;
inline constexpr NPError NPERR_INVALID_INSTANCE_ERROR = 2;
inline constexpr NPError NPERR_INVALID_FUNCTABLE_ERROR = 3;
inline constexpr NPError NPERR_MODULE_LOAD_FAILED_ERROR = 4;
inline constexpr NPError NPERR_OUT_OF_MEMORY_ERROR = 5;
inline constexpr NPError NPERR_INCOMPATIBLE_VERSION_ERROR = 8;

// The interface's version: the major number in the high byte, the minor in the low byte.
inline constexpr std::uint16_t NP_VERSION_MAJOR = 0;
inline constexpr std::uint16_t NP_VERSION_MINOR = 27;
// The minor versions that brought the optional browser calls: streams written by the plug-in,
// then URL requests with a completion notice.
inline constexpr std::uint16_t NPVERS_HAS_STREAMOUTPUT = 8;
inline constexpr std::uint16_t NPVERS_HAS_NOTIFICATION = 9;

// One instance of the plug-in on a page: the plug-in's private data and the browser's.
struct NPP_t {
  void* pdata;
  void* ndata;
};
using NPP = NPP_t*;

struct NPStream {
  void* pdata;
  void* ndata;
  const char* url;
  std::uint32_t end;
  std::uint32_t lastmodified;
  void* notifyData;
  const char* headers;
};

struct NPSavedData {
  std::int32_t len;
  void* buf;
};

struct NPRect {
  std::uint16_t top;
  std::uint16_t left;
  std::uint16_t bottom;
  std::uint16_t right;
};

struct NPByteRange {
  std::int32_t offset;
  std::uint32_t length;
  NPByteRange* next;
};

enum NPWindowType { NPWindowTypeWindow = 1, NPWindowTypeDrawable };

// The rectangle the browser gives an instance. `window` is the native window: an X window id
// on this desktop. `ws_info` carries the browser's display details, which this plug-in does not
// need (it paints through the display the browser's toolkit opened).
struct NPWindow {
  void* window;
  std::int32_t x;
  std::int32_t y;
  std::uint32_t width;
  std::uint32_t height;
  NPRect clipRect;
  void* ws_info;
  NPWindowType type;
};

// Printing and event records stay opaque: the plug-in neither prints nor handles events.
struct NPPrint;
using NPEvent = void;
using NPRegion = void*;
// Values asked for or set through the get/set value calls; the plug-in answers none.
using NPPVariable = int;
using NPNVariable = int;

// What the plug-in hands the browser.
using NPP_NewProcPtr = NPError (*)(NPMIMEType type, NPP instance, std::uint16_t mode,
                                   std::int16_t argc, char* argn[], char* argv[],
                                   NPSavedData* saved);
using NPP_DestroyProcPtr = NPError (*)(NPP instance, NPSavedData** save);
using NPP_SetWindowProcPtr = NPError (*)(NPP instance, NPWindow* window);
using NPP_NewStreamProcPtr = NPError (*)(NPP instance, NPMIMEType type, NPStream* stream,
                                         NPBool seekable, std::uint16_t* stype);
using NPP_DestroyStreamProcPtr = NPError (*)(NPP instance, NPStream* stream, NPReason reason);
using NPP_StreamAsFileProcPtr = void (*)(NPP instance, NPStream* stream, const char* fname);
using NPP_WriteReadyProcPtr = std::int32_t (*)(NPP instance, NPStream* stream);
using NPP_WriteProcPtr = std::int32_t (*)(NPP instance, NPStream* stream, std::int32_t offset,
                                          std::int32_t len, void* buffer);
using NPP_PrintProcPtr = void (*)(NPP instance, NPPrint* platformPrint);
using NPP_HandleEventProcPtr = std::int16_t (*)(NPP instance, NPEvent* event);
using NPP_URLNotifyProcPtr = void (*)(NPP instance, const char* url, NPReason reason,
                                      void* notifyData);
using NPP_GetValueProcPtr = NPError (*)(NPP instance, NPPVariable variable, void* value);
using NPP_SetValueProcPtr = NPError (*)(NPP instance, NPNVariable variable, void* value);

struct NPPluginFuncs {
  std::uint16_t size;
  std::uint16_t version;
  NPP_NewProcPtr newp;
  NPP_DestroyProcPtr destroy;
  NPP_SetWindowProcPtr setwindow;
  NPP_NewStreamProcPtr newstream;
  NPP_DestroyStreamProcPtr destroystream;
  NPP_StreamAsFileProcPtr asfile;
  NPP_WriteReadyProcPtr writeready;
  NPP_WriteProcPtr write;
  NPP_PrintProcPtr print;
  NPP_HandleEventProcPtr event;
  NPP_URLNotifyProcPtr urlnotify;
  void* javaClass;
  NPP_GetValueProcPtr getvalue;
  NPP_SetValueProcPtr setvalue;
};

// What the browser hands the plug-in.
using NPN_GetURLProcPtr = NPError (*)(NPP instance, const char* url, const char* window);
using NPN_PostURLProcPtr = NPError (*)(NPP instance, const char* url, const char* window,
                                       std::uint32_t len, const char* buf, NPBool file);
using NPN_RequestReadProcPtr = NPError (*)(NPStream* stream, NPByteRange* rangeList);
using NPN_NewStreamProcPtr = NPError (*)(NPP instance, NPMIMEType type, const char* window,
                                         NPStream** stream);
using NPN_WriteProcPtr = std::int32_t (*)(NPP instance, NPStream* stream, std::int32_t len,
                                          void* buffer);
using NPN_DestroyStreamProcPtr = NPError (*)(NPP instance, NPStream* stream, NPReason reason);
using NPN_StatusProcPtr = void (*)(NPP instance, const char* message);
using NPN_UserAgentProcPtr = const char* (*)(NPP instance);
using NPN_MemAllocProcPtr = void* (*)(std::uint32_t size);
using NPN_MemFreeProcPtr = void (*)(void* ptr);
using NPN_MemFlushProcPtr = std::uint32_t (*)(std::uint32_t size);
using NPN_ReloadPluginsProcPtr = void (*)(NPBool reloadPages);
using NPN_GetJavaEnvProcPtr = void* (*)();
using NPN_GetJavaPeerProcPtr = void* (*)(NPP instance);
using NPN_GetURLNotifyProcPtr = NPError (*)(NPP instance, const char* url, const char* window,
                                            void* notifyData);
using NPN_PostURLNotifyProcPtr = NPError (*)(NPP instance, const char* url, const char* window,
                                             std::uint32_t len, const char* buf, NPBool file,
                                             void* notifyData);
using NPN_GetValueProcPtr = NPError (*)(NPP instance, NPNVariable variable, void* value);
using NPN_SetValueProcPtr = NPError (*)(NPP instance, NPPVariable variable, void* value);
using NPN_InvalidateRectProcPtr = void (*)(NPP instance, NPRect* rect);
using NPN_InvalidateRegionProcPtr = void (*)(NPP instance, NPRegion region);
using NPN_ForceRedrawProcPtr = void (*)(NPP instance);

// Browsers of the generation this plug-in serves append further calls (scripting among them)
// that the plug-in never makes; they are kept as unnamed slots so that the table has the size
// such a browser hands over.
inline constexpr int kLaterBrowserFunctionSlots = 6;

struct NPNetscapeFuncs {
  std::uint16_t size;
  std::uint16_t version;
  NPN_GetURLProcPtr geturl;
  NPN_PostURLProcPtr posturl;
  NPN_RequestReadProcPtr requestread;
  NPN_NewStreamProcPtr newstream;
  NPN_WriteProcPtr write;
  NPN_DestroyStreamProcPtr destroystream;
  NPN_StatusProcPtr status;
  NPN_UserAgentProcPtr uagent;
  NPN_MemAllocProcPtr memalloc;
  NPN_MemFreeProcPtr memfree;
  NPN_MemFlushProcPtr memflush;
  NPN_ReloadPluginsProcPtr reloadplugins;
  NPN_GetJavaEnvProcPtr getJavaEnv;
  NPN_GetJavaPeerProcPtr getJavaPeer;
  NPN_GetURLNotifyProcPtr geturlnotify;
  NPN_PostURLNotifyProcPtr posturlnotify;
  NPN_GetValueProcPtr getvalue;
  NPN_SetValueProcPtr setvalue;
  NPN_InvalidateRectProcPtr invalidaterect;
  NPN_InvalidateRegionProcPtr invalidateregion;
  NPN_ForceRedrawProcPtr forceredraw;
  void* laterFunctions[kLaterBrowserFunctionSlots];
};

// The smallest browser table the plug-in accepts.
inline constexpr std::uint16_t kMinimumBrowserTableSize = 224;
static_assert(sizeof(NPNetscapeFuncs) >= kMinimumBrowserTableSize,
              "a full browser table must pass the size check");

// The library's exports. A browser on this desktop calls NP_Initialize with both tables; one
// that follows the Windows order asks for the plug-in table through NP_GetEntryPoints first and
// passes no plug-in table to NP_Initialize.
NPError NP_GetEntryPoints(NPPluginFuncs* pluginFuncs);
NPError NP_Initialize(NPNetscapeFuncs* browserFuncs, NPPluginFuncs* pluginFuncs);
NPError NP_Shutdown();
const char* NP_GetMIMEDescription();

}  // extern "C"
