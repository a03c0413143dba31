// An open on a system without the standard faces: our platform finds fonts through
// fontconfig, so an empty fontconfig configuration makes every face missing.
#include <cstdio>
#include <filesystem>
#include <fstream>

#include "headless_window.h"

using namespace plotvane;

namespace {

GraphSession &S() { return Session(); }

class NoFonts : public ::testing::Test {
 protected:
  static void SetUpTestSuite() {
    const auto conf = std::filesystem::temp_directory_path() / "plotvane-no-fonts.conf";
    std::ofstream(conf) << "<?xml version=\"1.0\"?>\n<fontconfig></fontconfig>\n";
    setenv("FONTCONFIG_FILE", conf.c_str(), 1);
  }
  void TearDown() override { pvtest::CloseWindowIfOpen(); }
};

TEST_F(NoFonts, OpenStopsAtTheProbeWithTheWindowOpenButHidden) {
  EXPECT_EQ(pvtest::OpenWindow(3, 6), grFontMissing);
  ASSERT_TRUE(GraphActive());
  EXPECT_FALSE(IsWindowVisible(S().WindowHandle));
  for (const FaceName &slot : S().FontTable) EXPECT_EQ(slot[0], '\0');
  // No palette was installed; colours still reduce without dividing by zero.
  EXPECT_EQ(S().PaletteSize, 0);
  EXPECT_EQ(MapColor(300), PALETTEINDEX(44));
  PlotPixel(1, 1, 7);
  EXPECT_EQ(GraphError(), grOk);
  SetRasterMode(1);  // XOR: must not outlive this session
  SetTextFont(0, 0, 16);
  EXPECT_EQ(GraphError(), grFontSlotEmpty);
  EXPECT_EQ(InstallFontFace("Arial"), -1);
  EXPECT_EQ(GraphError(), grFontMissing);

  // Another open is refused while this one lasts; after close it fails the same way again.
  int16_t d = 3, m = 6;
  OpenGraphWindow(d, m, "again");
  EXPECT_EQ(GraphError(), grAlreadyOpen);
  CloseGraphWindow();
  EXPECT_EQ(GraphError(), grOk);
  EXPECT_EQ(pvtest::OpenWindow(1, 6), grFontMissing);
  EXPECT_EQ(MapColor(3), PALETTEINDEX(1));
  // A pixel of the new session puts neither device context into the old session's mix.
  PlotPixel(2, 2, 1);
  EXPECT_EQ(GetROP2(S().PageDC), R2_COPYPEN);
  EXPECT_EQ(GetROP2(S().WindowDC), R2_COPYPEN);
}

}  // namespace
