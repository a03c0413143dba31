// The opening every demonstration shares, on the headless host.
#include "demo_window.h"

#include <string>

#include "headless_window.h"

namespace {

using namespace plotvane;

TEST(CommonWindow, OpensTheShownWindowOfModeSixUnderTheCaption) {
  pvtest::UseHeadlessHost();
  testing::internal::CaptureStderr();
  const bool opened = demo::OpenDemoWindow("probe", "QUENDRAL");
  const std::string said = testing::internal::GetCapturedStderr();
  ASSERT_TRUE(opened);
  EXPECT_TRUE(GraphActive());
  EXPECT_TRUE(IsWindowVisible(Session().WindowHandle));
  char caption[32] = {};
  GetWindowTextA(Session().WindowHandle, caption, sizeof caption);
  EXPECT_STREQ(caption, "QUENDRAL");
  EXPECT_EQ(ScreenMaxX(), 799);
  EXPECT_EQ(ScreenMaxY(), 599);
  EXPECT_EQ(said, "");
  CloseGraphWindow();
}

}  // namespace
