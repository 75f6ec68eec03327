#include "browser_functions.h"

#include <gtest/gtest.h>

namespace {

// Counts the browser calls that got through.
int g_calls = 0;

NPError CountedNewStream(NPP, NPMIMEType, const char*, NPStream**) {
  ++g_calls;
  return NPERR_NO_ERROR;
}
std::int32_t CountedWrite(NPP, NPStream*, std::int32_t len, void*) {
  ++g_calls;
  return len;
}
NPError CountedDestroyStream(NPP, NPStream*, NPReason) {
  ++g_calls;
  return NPERR_NO_ERROR;
}
NPError CountedGetURLNotify(NPP, const char*, const char*, void*) {
  ++g_calls;
  return NPERR_NO_ERROR;
}
NPError CountedPostURLNotify(NPP, const char*, const char*, std::uint32_t, const char*, NPBool,
                             void*) {
  ++g_calls;
  return NPERR_NO_ERROR;
}

void StoreBrowser(std::uint16_t minor) {
  NPNetscapeFuncs browser{};
  browser.size = sizeof(browser);
  browser.version = minor;
  browser.newstream = &CountedNewStream;
  browser.write = &CountedWrite;
  browser.destroystream = &CountedDestroyStream;
  browser.geturlnotify = &CountedGetURLNotify;
  browser.posturlnotify = &CountedPostURLNotify;
  plugin::StoreBrowserFunctions(browser);
  g_calls = 0;
}

// The later calls are refused, without reaching the browser, by a browser older than them, and
// reach the browser from the minor version that brought them on.
TEST(BrowserFunctions, LaterCallsCheckTheBrowsersMinorVersion) {
  char data[4] = {};
  StoreBrowser(NPVERS_HAS_STREAMOUTPUT - 1);
  EXPECT_EQ(plugin::NPN_NewStream(nullptr, nullptr, "_blank", nullptr),
            NPERR_INCOMPATIBLE_VERSION_ERROR);
  EXPECT_EQ(plugin::NPN_Write(nullptr, nullptr, 4, data), -1);
  EXPECT_EQ(plugin::NPN_DestroyStream(nullptr, nullptr, 0), NPERR_INCOMPATIBLE_VERSION_ERROR);
  EXPECT_EQ(plugin::NPN_GetURLNotify(nullptr, "u", nullptr, nullptr),
            NPERR_INCOMPATIBLE_VERSION_ERROR);
  EXPECT_EQ(g_calls, 0);

  StoreBrowser(NPVERS_HAS_STREAMOUTPUT);
  EXPECT_EQ(plugin::NPN_NewStream(nullptr, nullptr, "_blank", nullptr), NPERR_NO_ERROR);
  EXPECT_EQ(plugin::NPN_Write(nullptr, nullptr, 4, data), 4);
  EXPECT_EQ(plugin::NPN_DestroyStream(nullptr, nullptr, 0), NPERR_NO_ERROR);
  EXPECT_EQ(plugin::NPN_GetURLNotify(nullptr, "u", nullptr, nullptr),
            NPERR_INCOMPATIBLE_VERSION_ERROR);
  EXPECT_EQ(plugin::NPN_PostURLNotify(nullptr, "u", nullptr, 0, "", 0, nullptr),
            NPERR_INCOMPATIBLE_VERSION_ERROR);
  EXPECT_EQ(g_calls, 3);

  // Only the minor byte counts.
  StoreBrowser(NPVERS_HAS_NOTIFICATION);
  EXPECT_EQ(plugin::NPN_GetURLNotify(nullptr, "u", nullptr, nullptr), NPERR_NO_ERROR);
  EXPECT_EQ(plugin::NPN_PostURLNotify(nullptr, "u", nullptr, 0, "", 0, nullptr), NPERR_NO_ERROR);
  EXPECT_EQ(g_calls, 2);

  // A call the browser left out fails instead of jumping to null.
  StoreBrowser(NP_VERSION_MINOR);
  plugin::StoreBrowserFunctions(NPNetscapeFuncs{sizeof(NPNetscapeFuncs), NP_VERSION_MINOR});
  EXPECT_EQ(plugin::NPN_Write(nullptr, nullptr, 4, data), -1);
  EXPECT_EQ(plugin::NPN_UserAgent(nullptr), nullptr);
}

}  // namespace
