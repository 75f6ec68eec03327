// A test host that plays the browser: it loads the built plug-in library by name, as a browser
// does, and talks to it only through its exports and the tables they fill.

// GoogleTest first: Xlib's macros (None, Bool) would break its headers.
#include <gtest/gtest.h>

#include <X11/Xlib.h>
#include <cairo-xlib.h>
#include <dlfcn.h>
#include <gdk/gdk.h>
#include <gdk/gdkx.h>

#include <algorithm>
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <memory>
#include <string>

#include "np_types.h"
#include "skinui/gtk/virtual_display.h"

namespace {

constexpr const char* kHostAgent = "ZelkTestHost/1.0 (plug-in host)";

const char* HostUserAgent(NPP) {
  return kHostAgent;
}

// The library, loaded once for the whole suite, and its exports.
struct Library {
  void* handle = nullptr;
  decltype(&NP_GetEntryPoints) getEntryPoints = nullptr;
  decltype(&NP_Initialize) initialize = nullptr;
  decltype(&NP_Shutdown) shutdown = nullptr;
  decltype(&NP_GetMIMEDescription) mimeDescription = nullptr;
};

Library& Loaded() {
  static Library library = [] {
    Library l;
    l.handle = dlopen(ZELK_PLUGIN_LIBRARY, RTLD_NOW | RTLD_LOCAL);
    if (l.handle == nullptr) return l;
    l.getEntryPoints =
        reinterpret_cast<decltype(&NP_GetEntryPoints)>(dlsym(l.handle, "NP_GetEntryPoints"));
    l.initialize = reinterpret_cast<decltype(&NP_Initialize)>(dlsym(l.handle, "NP_Initialize"));
    l.shutdown = reinterpret_cast<decltype(&NP_Shutdown)>(dlsym(l.handle, "NP_Shutdown"));
    l.mimeDescription = reinterpret_cast<decltype(&NP_GetMIMEDescription)>(
        dlsym(l.handle, "NP_GetMIMEDescription"));
    return l;
  }();
  return library;
}

NPNetscapeFuncs BrowserTable(std::uint16_t version = NP_VERSION_MINOR) {
  NPNetscapeFuncs browser{};
  browser.size = sizeof(NPNetscapeFuncs);
  browser.version = version;
  browser.uagent = &HostUserAgent;
  return browser;
}

class PluginHost : public ::testing::Test {
 protected:
  void SetUp() override {
    const Library& library = Loaded();
    ASSERT_NE(library.handle, nullptr) << dlerror();
    ASSERT_NE(library.getEntryPoints, nullptr);
    ASSERT_NE(library.initialize, nullptr);
    ASSERT_NE(library.shutdown, nullptr);
    ASSERT_NE(library.mimeDescription, nullptr);
    browser_ = BrowserTable();
    plugin_.size = sizeof(NPPluginFuncs);
    ASSERT_EQ(library.initialize(&browser_, &plugin_), NPERR_NO_ERROR);
  }
  void TearDown() override { EXPECT_EQ(Loaded().shutdown(), NPERR_NO_ERROR); }

  NPNetscapeFuncs browser_{};
  NPPluginFuncs plugin_{};
};

TEST_F(PluginHost, EntryPointsRefuseMissingOldOrForeignTablesAndFillTheirOwn) {
  const Library& library = Loaded();
  EXPECT_EQ(library.getEntryPoints(nullptr), NPERR_INVALID_FUNCTABLE_ERROR);
  EXPECT_EQ(library.initialize(nullptr, nullptr), NPERR_INVALID_FUNCTABLE_ERROR);

  NPNetscapeFuncs majorOne = BrowserTable(0x0100 | NP_VERSION_MINOR);
  EXPECT_EQ(library.initialize(&majorOne, nullptr), NPERR_INCOMPATIBLE_VERSION_ERROR);
  // The version is judged before the size.
  majorOne.size = 16;
  EXPECT_EQ(library.initialize(&majorOne, nullptr), NPERR_INCOMPATIBLE_VERSION_ERROR);
  NPNetscapeFuncs small = BrowserTable();
  small.size = kMinimumBrowserTableSize - 1;
  EXPECT_EQ(library.initialize(&small, nullptr), NPERR_INVALID_FUNCTABLE_ERROR);
  small.size = kMinimumBrowserTableSize;
  EXPECT_EQ(library.initialize(&small, nullptr), NPERR_NO_ERROR);

  // Windows order: the plug-in table is asked for on its own; size and Java class stay the
  // browser's.
  NPPluginFuncs table{};
  table.size = 77;
  int javaClass = 0;
  table.javaClass = &javaClass;
  ASSERT_EQ(library.getEntryPoints(&table), NPERR_NO_ERROR);
  EXPECT_EQ(table.size, 77);
  EXPECT_EQ(table.version, 27);
  EXPECT_EQ(table.javaClass, &javaClass);
  for (const void* function :
       {reinterpret_cast<const void*>(table.newp), reinterpret_cast<const void*>(table.destroy),
        reinterpret_cast<const void*>(table.setwindow),
        reinterpret_cast<const void*>(table.newstream),
        reinterpret_cast<const void*>(table.destroystream),
        reinterpret_cast<const void*>(table.asfile),
        reinterpret_cast<const void*>(table.writeready), reinterpret_cast<const void*>(table.write),
        reinterpret_cast<const void*>(table.print), reinterpret_cast<const void*>(table.event),
        reinterpret_cast<const void*>(table.urlnotify),
        reinterpret_cast<const void*>(table.getvalue),
        reinterpret_cast<const void*>(table.setvalue)}) {
    EXPECT_NE(function, nullptr);
  }
  // The desktop order (both tables to NP_Initialize) filled the same functions.
  EXPECT_EQ(plugin_.version, 27);
  EXPECT_EQ(plugin_.newp, table.newp);
  EXPECT_EQ(plugin_.setvalue, table.setvalue);

  EXPECT_STREQ(library.mimeDescription(), "application/zelk-plugin::Tamsel插件");
}

TEST_F(PluginHost, InstanceFunctionsAnswerMissingInstancesAndObjects) {
  NPWindow window{};
  NPStream stream{};
  std::uint16_t streamType = 0;
  char data[16] = {};
  EXPECT_EQ(plugin_.newp(nullptr, nullptr, 1, 0, nullptr, nullptr, nullptr),
            NPERR_INVALID_INSTANCE_ERROR);
  EXPECT_EQ(plugin_.destroy(nullptr, nullptr), NPERR_INVALID_INSTANCE_ERROR);
  EXPECT_EQ(plugin_.setwindow(nullptr, &window), NPERR_INVALID_INSTANCE_ERROR);
  EXPECT_EQ(plugin_.newstream(nullptr, nullptr, &stream, 0, &streamType),
            NPERR_INVALID_INSTANCE_ERROR);
  EXPECT_EQ(plugin_.destroystream(nullptr, &stream, 0), NPERR_INVALID_INSTANCE_ERROR);
  EXPECT_EQ(plugin_.getvalue(nullptr, 1, nullptr), NPERR_INVALID_INSTANCE_ERROR);
  EXPECT_EQ(plugin_.setvalue(nullptr, 1, nullptr), NPERR_INVALID_INSTANCE_ERROR);
  EXPECT_EQ(plugin_.writeready(nullptr, &stream), 0x0FFFFFFF);
  EXPECT_EQ(plugin_.write(nullptr, &stream, 0, 16, data), 16);

  NPP_t empty{};
  EXPECT_EQ(plugin_.setwindow(&empty, &window), NPERR_GENERIC_ERROR);
  EXPECT_EQ(plugin_.newstream(&empty, nullptr, &stream, 0, &streamType), NPERR_GENERIC_ERROR);
  EXPECT_EQ(plugin_.destroystream(&empty, &stream, 0), NPERR_GENERIC_ERROR);
  EXPECT_EQ(plugin_.getvalue(&empty, 1, nullptr), NPERR_GENERIC_ERROR);
  EXPECT_EQ(plugin_.setvalue(&empty, 1, nullptr), NPERR_GENERIC_ERROR);
  EXPECT_EQ(plugin_.writeready(&empty, &stream), 0x0FFFFFFF);
  EXPECT_EQ(plugin_.write(&empty, &stream, 0, 9, data), 9);
  EXPECT_EQ(plugin_.event(&empty, nullptr), 0);
  EXPECT_EQ(plugin_.destroy(&empty, nullptr), NPERR_NO_ERROR);

  // An instance with an object but no window given yet.
  NPP_t instance{};
  ASSERT_EQ(plugin_.newp(nullptr, &instance, 1, 0, nullptr, nullptr, nullptr), NPERR_NO_ERROR);
  EXPECT_EQ(plugin_.setwindow(&instance, nullptr), NPERR_GENERIC_ERROR);
  EXPECT_EQ(plugin_.setwindow(&instance, &window), NPERR_NO_ERROR) << "no native window: no init";
  EXPECT_NE(instance.pdata, nullptr);
  EXPECT_EQ(plugin_.destroy(&instance, nullptr), NPERR_NO_ERROR);
  EXPECT_EQ(instance.pdata, nullptr);
}

TEST_F(PluginHost, StreamsAreAcceptedWholeAndDropped) {
  NPP_t instance{};
  ASSERT_EQ(plugin_.newp(const_cast<char*>("application/zelk-plugin"), &instance, 1, 0, nullptr,
                         nullptr, nullptr),
            NPERR_NO_ERROR);
  ASSERT_NE(instance.pdata, nullptr);
  NPStream stream{};
  stream.url = "http://127.0.0.1/data.bin";
  std::uint16_t streamType = 0;
  ASSERT_EQ(plugin_.newstream(&instance, nullptr, &stream, 0, &streamType), NPERR_NO_ERROR);
  std::string chunk(4096, 'x');
  std::int32_t offset = 0;
  for (int i = 0; i < 3; ++i) {
    EXPECT_EQ(plugin_.writeready(&instance, &stream), 0x0FFFFFFF);
    const auto length = static_cast<std::int32_t>(chunk.size()) - i;
    EXPECT_EQ(plugin_.write(&instance, &stream, offset, length, chunk.data()), length);
    offset += length;
  }
  plugin_.asfile(&instance, &stream, "/nonexistent/file");
  EXPECT_EQ(plugin_.destroystream(&instance, &stream, 0), NPERR_NO_ERROR);
  EXPECT_EQ(plugin_.event(&instance, nullptr), 0);
  EXPECT_EQ(plugin_.getvalue(&instance, 1, nullptr), NPERR_NO_ERROR);
  EXPECT_EQ(plugin_.setvalue(&instance, 1, nullptr), NPERR_NO_ERROR);
  EXPECT_EQ(plugin_.destroy(&instance, nullptr), NPERR_NO_ERROR);
  EXPECT_EQ(instance.pdata, nullptr);
}

// The painting needs the browser's toolkit on an X display: a private Xvfb.
class PluginPainting : public PluginHost {
 protected:
  static constexpr int kWidth = 320;
  static constexpr int kHeight = 60;

  static void SetUpTestSuite() {
    if (!skinui_gtk_test::VirtualDisplay::Installed()) return;
    display_ = std::make_unique<skinui_gtk_test::VirtualDisplay>();
    std::string error;
    if (!display_->Start(error)) {
      display_.reset();
      return;
    }
    setenv("DISPLAY", display_->name().c_str(), 1);
    gdk_set_allowed_backends("x11");
    gdk_init(nullptr, nullptr);
  }
  static void TearDownTestSuite() { display_.reset(); }

  void SetUp() override {
    if (display_ == nullptr || gdk_display_get_default() == nullptr) {
      GTEST_SKIP() << "no X display (Xvfb) here";
    }
    PluginHost::SetUp();
    xdisplay_ = GDK_DISPLAY_XDISPLAY(gdk_display_get_default());
  }

  // A mapped window of the page with a white background, as a browser gives an instance.
  Window CreatePageWindow() {
    const int screen = DefaultScreen(xdisplay_);
    const Window window =
        XCreateSimpleWindow(xdisplay_, RootWindow(xdisplay_, screen), 10, 10, kWidth, kHeight, 0,
                            BlackPixel(xdisplay_, screen), WhitePixel(xdisplay_, screen));
    XMapWindow(xdisplay_, window);
    XSync(xdisplay_, False);
    return window;
  }

  // Lets the toolkit handle every event the server has sent so far (the plug-in paints on
  // exposure), then copies the window into an image.
  cairo_surface_t* Capture(Window window) {
    XSync(xdisplay_, False);
    while (g_main_context_iteration(nullptr, FALSE)) {
    }
    XSync(xdisplay_, False);
    cairo_surface_t* source = cairo_xlib_surface_create(
        xdisplay_, window, DefaultVisual(xdisplay_, DefaultScreen(xdisplay_)), kWidth, kHeight);
    cairo_surface_t* image = cairo_image_surface_create(CAIRO_FORMAT_RGB24, kWidth, kHeight);
    cairo_t* cr = cairo_create(image);
    cairo_set_source_surface(cr, source, 0, 0);
    cairo_paint(cr);
    cairo_destroy(cr);
    cairo_surface_destroy(source);
    cairo_surface_flush(image);
    return image;
  }

  static inline std::unique_ptr<skinui_gtk_test::VirtualDisplay> display_;
  Display* xdisplay_ = nullptr;
};

std::uint32_t PixelAt(cairo_surface_t* image, int x, int y) {
  const unsigned char* row =
      cairo_image_surface_get_data(image) + y * cairo_image_surface_get_stride(image);
  return reinterpret_cast<const std::uint32_t*>(row)[x] & 0xFFFFFF;
}

TEST_F(PluginPainting, FramesTheWindowAndCentresTheUserAgent) {
  const Window window = CreatePageWindow();
  NPP_t instance{};
  ASSERT_EQ(plugin_.newp(nullptr, &instance, 1, 0, nullptr, nullptr, nullptr), NPERR_NO_ERROR);
  NPWindow npWindow{};
  npWindow.window = reinterpret_cast<void*>(static_cast<std::uintptr_t>(window));
  npWindow.width = kWidth;
  npWindow.height = kHeight;
  npWindow.type = NPWindowTypeWindow;
  ASSERT_EQ(plugin_.setwindow(&instance, &npWindow), NPERR_NO_ERROR);
  // A second call (a resize) goes to the object without hooking the window again.
  ASSERT_EQ(plugin_.setwindow(&instance, &npWindow), NPERR_NO_ERROR);

  cairo_surface_t* image = Capture(window);
  if (const char* shots = std::getenv("ZELK_PLUGIN_SHOT")) {
    cairo_surface_write_to_png(image, shots);
  }
  for (int x = 0; x < kWidth; ++x) {
    ASSERT_EQ(PixelAt(image, x, 0), 0u) << "top edge at " << x;
    ASSERT_EQ(PixelAt(image, x, kHeight - 1), 0u) << "bottom edge at " << x;
  }
  for (int y = 0; y < kHeight; ++y) {
    ASSERT_EQ(PixelAt(image, 0, y), 0u) << "left edge at " << y;
    ASSERT_EQ(PixelAt(image, kWidth - 1, y), 0u) << "right edge at " << y;
  }
  // The text's ink inside the frame: present, on one line, centred both ways.
  int left = kWidth, right = -1, top = kHeight, bottom = -1;
  for (int y = 1; y < kHeight - 1; ++y) {
    for (int x = 1; x < kWidth - 1; ++x) {
      if ((PixelAt(image, x, y) & 0xFF) < 0x80) {
        left = std::min(left, x);
        right = std::max(right, x);
        top = std::min(top, y);
        bottom = std::max(bottom, y);
      }
    }
  }
  ASSERT_GE(right, 0) << "no text painted";
  EXPECT_GT(right - left, 100) << "the whole user agent is one line of some width";
  EXPECT_LT(bottom - top, 20) << "one line";
  EXPECT_LE(std::abs((left + right) - (kWidth - 1)), 3) << left << ".." << right;
  EXPECT_LE(std::abs((top + bottom) - (kHeight - 1)), 3) << top << ".." << bottom;
  EXPECT_EQ(PixelAt(image, 2, 2), 0xFFFFFFu) << "the inside keeps the page's background";
  cairo_surface_destroy(image);

  EXPECT_EQ(plugin_.destroy(&instance, nullptr), NPERR_NO_ERROR);
  XDestroyWindow(xdisplay_, window);
  XSync(xdisplay_, False);
}

TEST_F(PluginPainting, AWindowThatDoesNotExistFailsAndDropsTheObject) {
  const Window window = CreatePageWindow();
  XDestroyWindow(xdisplay_, window);
  XSync(xdisplay_, False);
  NPP_t instance{};
  ASSERT_EQ(plugin_.newp(nullptr, &instance, 1, 0, nullptr, nullptr, nullptr), NPERR_NO_ERROR);
  NPWindow npWindow{};
  npWindow.window = reinterpret_cast<void*>(static_cast<std::uintptr_t>(window));
  EXPECT_EQ(plugin_.setwindow(&instance, &npWindow), NPERR_MODULE_LOAD_FAILED_ERROR);
  EXPECT_EQ(instance.pdata, nullptr);
  EXPECT_EQ(plugin_.setwindow(&instance, &npWindow), NPERR_GENERIC_ERROR);
  EXPECT_EQ(plugin_.destroy(&instance, nullptr), NPERR_NO_ERROR);
}

}  // namespace
