// Opening where no window can be made (the SDL host without a display, and no falling back to
// the headless host): -4, the session stays Closed and keeps nothing, and it stays usable.
#include <cstdlib>
#include <string>

#include "headless_window.h"
#include "robust_support.h"

using namespace plotvane;

namespace {

class NoDisplay : public ::testing::TestWithParam<const char *> {
 protected:
  void SetUp() override {
    if (const char *d = std::getenv("DISPLAY")) saved_ = d;
    had_ = std::getenv("DISPLAY") != nullptr;
  }
  void TearDown() override {
    pvtest::CloseWindowIfOpen();
    if (had_)
      setenv("DISPLAY", saved_.c_str(), 1);
    else
      unsetenv("DISPLAY");
    pvtest::UseHeadlessHost();
  }
  std::string saved_;
  bool had_ = false;
};

TEST_P(NoDisplay, OpenFailsWithMinusFourAndTheSessionStaysUsable) {
  pvtest::UseHeadlessHost();
  int16_t driver = 3, mode = 6;
  OpenGraphWindow(driver, mode, "Plotvane first");
  ASSERT_TRUE(GraphActive());
  CloseGraphWindow();
  const std::string start = robust::Live();

  if (*GetParam())
    setenv("DISPLAY", GetParam(), 1);
  else
    unsetenv("DISPLAY");
  pvplatform::SetHostKind(pvplatform::HostKind::Sdl);
  testing::internal::CaptureStderr();
  for (int attempt = 0; attempt < 3; ++attempt) {  // a failed open leaves nothing in the way of the next
    driver = 3;
    mode = 6;
    OpenGraphWindow(driver, mode, "Plotvane nowhere");
    EXPECT_EQ(GraphError(), grNoWindow) << "attempt " << attempt;
    EXPECT_FALSE(GraphActive());
    EXPECT_EQ(Session().ThreadHandle, nullptr);
    EXPECT_EQ(robust::Live(), start);
    // Closed means every operation refuses with -1.
    DrawLine(0, 0, 10, 10);
    EXPECT_EQ(GraphError(), grNotOpen);
    CloseGraphWindow();
    EXPECT_EQ(GraphError(), grNotOpen);
    EXPECT_EQ(NextKey(), 0);  // no window: no wait
  }
  const std::string err = testing::internal::GetCapturedStderr();
  EXPECT_NE(err.find("cannot open a window"), std::string::npos) << err;

  // The headless host opens, draws and closes as if nothing had happened.
  pvtest::UseHeadlessHost();
  driver = 3;
  mode = 6;
  OpenGraphWindow(driver, mode, "Plotvane after all");
  ASSERT_TRUE(GraphActive());
  EXPECT_TRUE(GraphError() == grOk || GraphError() == grNoOpenGL) << GraphError();
  SetFillKind(1, NamedColor(ncRed));
  FillBox(10, 10, 20, 20);
  EXPECT_EQ(GraphError(), grOk);
  const COLORREF red = GetPixel(Session().PageDC, 15, 15);
  EXPECT_EQ(red, RGB(252, 0, 0));
  CloseGraphWindow();
  EXPECT_EQ(GraphError(), grOk);
  EXPECT_EQ(robust::Live(), start);
}

// A display that nobody serves, and none at all.
INSTANTIATE_TEST_SUITE_P(Displays, NoDisplay, ::testing::Values(":1999", ""),
                         [](const auto &info) { return std::string(*info.param ? "Unserved" : "Unset"); });

}  // namespace
