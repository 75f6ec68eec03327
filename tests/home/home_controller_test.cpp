// The home controller on a fake main window without a service: what a share click opens.

#include "home/home_controller.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <string>

#include "core/zelk_lib_binding.h"
#include "platform/dynamic_library.h"
#include "support/fake_feature_host.h"
#include "support/temp_dir.h"

namespace home {
namespace {

constexpr char kLayout[] = R"(<Window><VerticalLayout name="Root">
  <List name="lstAppMarketList"/>
</VerticalLayout></Window>)";

core::ZelkLibBinding StagedLibrary() {
  const char* appDir = std::getenv("ZELK_APP_DIR");
  return core::ZelkLibBinding(platform::DynamicLibrary::open(
      std::string(appDir != nullptr ? appDir : ".") + "/libZelkLib.so"));
}

TEST(HomeShareClick, AnAppItemThatIsNoLongerListedSharesNothing) {
  testing_support::TempDir program;
  const core::ZelkLibBinding lib = StagedLibrary();
  ASSERT_TRUE(lib.loaded());
  testing_support::HeadlessUi ui;
  testing_support::FakeFeatureHost host{ui.context, lib, program.path(), kLayout};
  HomeController controller(host);
  controller.OnShareClick("btnShareTo_ShareToAll_For_AppMarketItem_3");
  controller.OnShareClick("btnShareTo_ShareToSina_For_AppMarketItem_-1");
  controller.OnShareClick("btnShareTo_ShareToSina_For_Nowhere_0");
  EXPECT_TRUE(host.opened.empty());
  // The same host does open the pages of a share that has its place.
  controller.OnShareClick("btnShareTo_ShareToAll_For_HomeRight_0");
  EXPECT_EQ(host.opened.size(), 4u);
}

}  // namespace
}  // namespace home
