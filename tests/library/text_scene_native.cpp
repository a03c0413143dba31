// The text scene as the desktop build draws it and the measures of its sample: the figures that
// the browser build must give too (tests/web checks its canvas against the same file).
#include "expectations.h"
#include "headless_window.h"
#include "text_scene.h"

using namespace plotvane;

namespace {

class TextScene : public pvtest::HeadlessWindow {};

TEST_F(TextScene, DrawsAndMeasuresAsTheSharedFiguresSay) {
  SetTextFont(3, 0, 20);
  EXPECT_EQ(TextWidth(pvtest::kTextSceneSample), static_cast<int32_t>(pvtest::Expected("textscene", "width")));
  EXPECT_EQ(TextHeight(pvtest::kTextSceneSample), static_cast<int32_t>(pvtest::Expected("textscene", "height")));
  SetDrawPage(1);
  pvtest::DrawTextScene();
  const pvtest::PageImage img = pvtest::ReadPage(1);
  std::vector<uint8_t> rgb;
  for (COLORREF c : img.rgb) rgb.insert(rgb.end(), {GetRValue(c), GetGValue(c), GetBValue(c)});
  EXPECT_GT(img.CountRGB(RGB(0xFC, 0xFC, 0xFC)), 3000) << "the scene has little text";
  EXPECT_EQ(pvtest::PictureChecksum(rgb.data(), rgb.size()), pvtest::Expected("textscene", "checksum"))
      << std::hex << "checksum 0x" << pvtest::PictureChecksum(rgb.data(), rgb.size()) << ", " << std::dec
      << img.width << "x" << img.height;
}

}  // namespace
