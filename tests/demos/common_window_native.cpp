// Openings that fail, made to happen through our platform layer: a screen too small for mode 6,
// and a system without the standard faces, where the opening stops with the window hidden.
#include <filesystem>
#include <fstream>
#include <string>

#include "demo_window.h"
#include "headless_window.h"

namespace {

using namespace plotvane;

class CommonWindowFails : public ::testing::Test {
 protected:
  // Fontconfig reads its configuration once per process, so the empty one is set up front; a
  // refused geometry never gets as far as the fonts.
  static void SetUpTestSuite() {
    const auto conf = std::filesystem::temp_directory_path() / "plotvane-demo-no-fonts.conf";
    std::ofstream(conf) << "<?xml version=\"1.0\"?>\n<fontconfig></fontconfig>\n";
    setenv("FONTCONFIG_FILE", conf.c_str(), 1);
  }
  void SetUp() override { pvtest::UseHeadlessHost(); }
  void TearDown() override { pvtest::CloseWindowIfOpen(); }

  // Opens as a program named "probe" does; returns what it said on standard error.
  std::string Open(bool &opened) {
    testing::internal::CaptureStderr();
    opened = demo::OpenDemoWindow("probe", "TORVINDA");
    return testing::internal::GetCapturedStderr();
  }
};

TEST_F(CommonWindowFails, ScreenTooSmallForModeSix) {
  // The library reads the screen size when it starts; the test changes both, and back.
  const int width = Session().ScreenWidth, height = Session().ScreenHeight;
  pvplatform::SetHeadlessScreenSize(640, 480);
  Session().ScreenWidth = 640;
  Session().ScreenHeight = 480;
  bool opened = true;
  const std::string said = Open(opened);
  pvplatform::SetHeadlessScreenSize(width, height);
  Session().ScreenWidth = width;
  Session().ScreenHeight = height;

  EXPECT_FALSE(opened);
  EXPECT_FALSE(GraphActive());
  EXPECT_EQ(said, "probe: the window could not be opened (error -3)\n");
}

TEST_F(CommonWindowFails, HiddenWindowWithoutFacesIsClosedAgain) {
  const pvplatform::LiveCounts before = pvplatform::CountLive();
  bool opened = true;
  const std::string said = Open(opened);
  EXPECT_FALSE(opened);
  EXPECT_EQ(said,
            "plotvane: cannot show the window: no installed font stands for the face \"Courier New\"\n"
            "probe: the window could not be opened (error -5)\n");
  // Nothing of the half-open window is left: no window, no window thread.
  EXPECT_FALSE(GraphActive());
  const pvplatform::LiveCounts after = pvplatform::CountLive();
  EXPECT_EQ(after.windows, before.windows);
  EXPECT_EQ(after.threads, before.threads);
}

}  // namespace
