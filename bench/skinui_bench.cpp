// Layout time of a window with 2,000 controls and paint time of a 1200 × 900 window.
#include <benchmark/benchmark.h>

#include <cstdlib>
#include <memory>
#include <string>

#include "platform/headless_message_loop.h"
#include "skinui/builder.h"
#include "skinui/headless_backend.h"
#include "skinui/ui_context.h"
#include "skinui/window.h"
#include "skinui/window_messages.h"

namespace {

std::string Skin() {
  const char* app = std::getenv("ZELK_APP_DIR");
  return app != nullptr ? std::string(app) + "/Skin/Zelk"
                        : skinui::UiContext::DefaultResourcePath();
}

class BenchWindow : public skinui::Window {
 public:
  BenchWindow(skinui::UiContext& context, std::string xml)
      : Window(context), xml_(std::move(xml)) {}
  std::string GetWindowClassName() const override { return "UIBenchFrame"; }
  std::intptr_t HandleMessage(std::uint32_t message, std::uintptr_t wParam,
                              std::intptr_t lParam) override {
    if (message == skinui::WM_CREATE) {
      skinui::BuildOptions options;
      options.resourceDir = GetContext().ResourcePath();
      options.manager = &paintManager_;
      paintManager_.AttachDialog(skinui::Builder(options).CreateFromString(xml_));
      return 0;
    }
    return Window::HandleMessage(message, wParam, lParam);
  }

 private:
  std::string xml_;
};

// 100 rows of a list, each a row layout with a title, a description, a progress bar, buttons
// and options: 2,001 controls.
std::string ManyControls() {
  std::string xml = "<List name=\"list\" vscrollbar=\"true\" inset=\"4,4,4,4\" childpadding=\"2\">";
  for (int row = 0; row < 100; ++row) {
    xml +=
        "<ListContainerElement height=\"80\"><HorizontalLayout inset=\"6,6,6,6\" "
        "childpadding=\"4\">"
        "<VerticalLayout><Text text=\"" +
        std::to_string(row) +
        ".<c #FF0000>钢筋</c>混凝土\" height=\"20\"/>"
        "<Label text=\"混凝土结构设计规范 GB 50010\"/><Progress height=\"8\" "
        "value=\"40\"/></VerticalLayout>"
        "<Button width=\"60\" text=\"下载\" normalimage=\"file='page_bkg.png' source='0,0,21,24' "
        "corner='3,3,3,3'\"/>"
        "<Option width=\"40\" text=\"选\"/><Button width=\"20\"/><Button width=\"20\"/><Button "
        "width=\"20\"/>"
        "<Button width=\"20\"/><Button width=\"20\"/><Button width=\"20\"/><Button width=\"20\"/>"
        "<Control width=\"10\"/><Control width=\"10\"/></HorizontalLayout></ListContainerElement>";
  }
  return xml + "</List>";
}

struct Fixture {
  explicit Fixture(const std::string& xml, int width, int height)
      : context(loop, std::make_unique<skinui::HeadlessBackend>(loop), Skin()),
        window(context, xml) {
    context.SetLogSink([](const std::string&) {});
    window.Create(nullptr, u"bench", skinui::WS_POPUP | skinui::WS_VISIBLE, 0, 0, 0, width, height);
  }
  platform::ManualClock clock;
  platform::HeadlessMessageLoop loop{clock};
  skinui::UiContext context;
  BenchWindow window;
};

void BM_Layout2000Controls(benchmark::State& state) {
  Fixture f(ManyControls(), 1200, 900);
  int width = 1200;
  for (auto _ : state) {
    width = width == 1200 ? 1201 : 1200;  // a real size change every round
    f.window.ResizeClient(width, 900);
    f.window.GetPaintManager().UpdateLayout();
  }
  state.counters["controls"] = 2001;
}
BENCHMARK(BM_Layout2000Controls)->Unit(benchmark::kMillisecond);

void BM_Paint1200x900(benchmark::State& state) {
  Fixture f(ManyControls(), 1200, 900);
  f.window.GetPaintManager().UpdateLayout();
  cairo_surface_t* surface = cairo_image_surface_create(CAIRO_FORMAT_ARGB32, 1200, 900);
  cairo_t* cr = cairo_create(surface);
  for (auto _ : state) {
    f.window.PaintTo(cr);
    cairo_surface_flush(surface);
  }
  cairo_destroy(cr);
  cairo_surface_destroy(surface);
}
BENCHMARK(BM_Paint1200x900)->Unit(benchmark::kMillisecond);

}  // namespace

BENCHMARK_MAIN();
