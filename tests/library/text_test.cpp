// The font table, font numbers decoded into the LOGFONT, justification and spacing.
#include <string>

#include "headless_window.h"

using namespace plotvane;

namespace {

GraphSession &S() { return Session(); }

LOGFONTA SelectedFont(HDC dc) {
  LOGFONTA lf{};
  GetObjectA(pvtest::CurrentObject(dc, OBJ_FONT), sizeof lf, &lf);
  return lf;
}

using Text = pvtest::HeadlessWindow;

TEST_F(Text, StandardFacesTakeTheFirstFourSlots) {
  EXPECT_STREQ(S().FontTable[0].data(), "Courier New");
  EXPECT_STREQ(S().FontTable[1].data(), "MS Sans Serif");
  EXPECT_STREQ(S().FontTable[2].data(), "Times New Roman");
  EXPECT_STREQ(S().FontTable[3].data(), "Arial");
  for (int i = 4; i < 15; ++i) EXPECT_EQ(S().FontTable[i][0], '\0');
  // The defaults: slot 0, horizontal, 16 pixels high.
  const LOGFONTA lf = SelectedFont(S().PageDC);
  EXPECT_STREQ(lf.lfFaceName, "Courier New");
  EXPECT_EQ(lf.lfHeight, 16);
  EXPECT_EQ(lf.lfWeight, 400);
}

struct FontCase {
  uint16_t font, direction, size;
  const char *face;
  LONG height, weight, escapement;
  BYTE italic, underline;
};

TEST_F(Text, FontNumberDecodesIntoTheLogfont) {
  const FontCase cases[] = {
      {1, 0, 3, "MS Sans Serif", 24, 400, 0, 0, 0},
      {1, 0, 6, "MS Sans Serif", 6, 400, 0, 0, 0},
      {2, 0, 0, "Times New Roman", 0, 400, 0, 0, 0},
      {16, 0, 16, "Courier New", 16, 700, 0, 0, 0},
      {256 + 3, 0, 16, "Arial", 16, 400, 0, 0, 1},
      {4096 + 2, 90, 16, "Times New Roman", 16, 400, 900, 1, 0},
      {0x1113, 45, 5, "Arial", 40, 700, 450, 1, 1},
  };
  for (const FontCase &c : cases) {
    SetTextFont(c.font, c.direction, c.size);
    ASSERT_EQ(GraphError(), grOk) << c.font;
    EXPECT_EQ(S().FontNumber, c.font);
    EXPECT_EQ(S().TextSize, c.size);
    for (HDC dc : {S().WindowDC, S().PageDC}) {
      const LOGFONTA lf = SelectedFont(dc);
      EXPECT_STREQ(lf.lfFaceName, c.face) << c.font;
      EXPECT_EQ(lf.lfHeight, c.height) << c.font;
      EXPECT_EQ(lf.lfWeight, c.weight) << c.font;
      EXPECT_EQ(lf.lfEscapement, c.escapement) << c.font;
      EXPECT_EQ(lf.lfOrientation, c.escapement) << c.font;
      EXPECT_EQ(lf.lfItalic != 0, c.italic != 0) << c.font;
      EXPECT_EQ(lf.lfUnderline != 0, c.underline != 0) << c.font;
      EXPECT_EQ(lf.lfCharSet, DEFAULT_CHARSET);
    }
  }
}

TEST_F(Text, EmptySlotsAreRefusedAndChangeNothing) {
  SetTextFont(2, 0, 20);
  HGDIOBJ font = pvtest::CurrentObject(S().PageDC, OBJ_FONT);
  for (uint16_t f : {uint16_t{4}, uint16_t{14}, uint16_t{15}, uint16_t{0x10F}}) {
    SetTextFont(f, 30, 2);
    EXPECT_EQ(GraphError(), grFontSlotEmpty) << f;
    EXPECT_EQ(S().FontNumber, 2);
    EXPECT_EQ(S().TextSize, 20);
    EXPECT_EQ(pvtest::CurrentObject(S().PageDC, OBJ_FONT), font);
  }
}

TEST_F(Text, InstallFontFaceFillsTheTableAndReportsMissingFaces) {
  EXPECT_EQ(InstallFontFace("No Such Face Anywhere"), -1);
  EXPECT_EQ(GraphError(), grFontMissing);
  EXPECT_EQ(InstallFontFace(""), -1);
  EXPECT_EQ(GraphError(), grFontMissing);
  EXPECT_EQ(S().FontTable[4][0], '\0');
  // The same face again takes another slot, up to slot 14.
  for (int16_t slot = 4; slot < 15; ++slot) {
    EXPECT_EQ(InstallFontFace("Arial"), slot);
    EXPECT_EQ(GraphError(), grOk);
  }
  EXPECT_EQ(InstallFontFace("Arial"), -1);
  EXPECT_EQ(GraphError(), grFontMissing);
  SetTextFont(14, 0, 10);
  EXPECT_EQ(GraphError(), grOk);
  EXPECT_STREQ(SelectedFont(S().PageDC).lfFaceName, "Arial");
}

struct AlignCase {
  int16_t h, v;
  UINT flags;
};

TEST_F(Text, AlignmentTableAndRefusal) {
  const AlignCase cases[] = {
      {0, 0, TA_LEFT | TA_TOP},      {1, 0, TA_CENTER | TA_TOP},    {2, 0, TA_RIGHT | TA_TOP},
      {0, 1, TA_LEFT | TA_BOTTOM},   {1, 2, TA_CENTER | TA_BASELINE}, {2, 2, TA_RIGHT | TA_BASELINE},
  };
  for (const AlignCase &c : cases) {
    SetTextAlignment(c.h, c.v);
    EXPECT_EQ(GraphError(), grOk);
    EXPECT_EQ(GetTextAlign(S().PageDC), c.flags | TA_UPDATECP);
    EXPECT_EQ(GetTextAlign(S().WindowDC), c.flags | TA_UPDATECP);
  }
  SetTextAlignment(0, 3);
  EXPECT_EQ(GraphError(), grOutOfRange);
  SetTextAlignment(-1, 0);
  EXPECT_EQ(GraphError(), grOutOfRange);
  EXPECT_EQ(S().TextJustifyH, 2);
  EXPECT_EQ(S().TextJustifyV, 2);
}

TEST_F(Text, SpacingGoesToBothContexts) {
  SetTextSpacing(3, 7, 99, 99);
  EXPECT_EQ(GraphError(), grOk);
  EXPECT_EQ(GetTextCharacterExtra(S().PageDC), 3);
  EXPECT_EQ(GetTextCharacterExtra(S().WindowDC), 3);
}

}  // namespace
