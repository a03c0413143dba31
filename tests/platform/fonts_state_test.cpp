// Font families through fontconfig, logical fonts, and the text state a DC keeps.
#include <gtest/gtest.h>
#include <windows.h>

#include <algorithm>
#include <cctype>
#include <cstring>
#include <string>
#include <vector>

#include "pvplatform.h"

namespace {

struct Seen {
  int calls = 0;
  std::vector<std::string> faces;
  int stopAfter = 1000;
};

int CALLBACK Collect(const LOGFONTA *lf, const TEXTMETRICA *, DWORD, LPARAM data) {
  auto *seen = reinterpret_cast<Seen *>(data);
  ++seen->calls;
  seen->faces.emplace_back(lf->lfFaceName);
  return seen->calls < seen->stopAfter ? 1 : 0;
}

class Dc : public ::testing::Test {
 protected:
  void SetUp() override { dc_ = CreateCompatibleDC(nullptr); }
  void TearDown() override { DeleteDC(dc_); }
  HDC dc_ = nullptr;
};

// ---- Enumeration ---------------------------------------------------------------------------

struct FaceCase {
  const char *face;
  bool present;
};

class FaceProbe : public Dc, public ::testing::WithParamInterface<FaceCase> {};

TEST_P(FaceProbe, PresentWhenInstalledOrStoodInFor) {
  const FaceCase &c = GetParam();
  Seen seen;
  const int result = EnumFontFamiliesA(dc_, c.face, Collect, reinterpret_cast<LPARAM>(&seen));
  if (c.present) {
    EXPECT_GE(seen.calls, 1) << c.face;
    // Every font reported carries the face name that was asked for.
    for (const std::string &f : seen.faces) EXPECT_EQ(f, c.face);
  } else {
    EXPECT_EQ(seen.calls, 0) << c.face;
    EXPECT_EQ(result, 1);
  }
}

INSTANTIATE_TEST_SUITE_P(
    Faces, FaceProbe,
    ::testing::Values(FaceCase{"Liberation Sans", true},       // installed under that name
                      FaceCase{"DejaVu Sans", true},           //
                      FaceCase{"Arial", true},                 // fontconfig's metric-compatible alias
                      FaceCase{"Times New Roman", true},       //
                      FaceCase{"Courier New", true},           //
                      FaceCase{"MS Sans Serif", true},         // our own stand-in
                      FaceCase{"ms sans serif", true},         // face names ignore case
                      FaceCase{"Plotvane Missing Face", false},  // only generic fallbacks would match
                      FaceCase{"Wingdings 9", false}),
    [](const ::testing::TestParamInfo<FaceCase> &i) {
      std::string n;
      for (const char *p = i.param.face; *p; ++p) n += std::isalnum(static_cast<unsigned char>(*p)) ? *p : '_';
      return n;
    });

TEST_F(Dc, CallbackReturningZeroStopsTheEnumeration) {
  Seen seen;
  seen.stopAfter = 1;
  EXPECT_EQ(EnumFontFamiliesA(dc_, "DejaVu Sans", Collect, reinterpret_cast<LPARAM>(&seen)), 0);
  EXPECT_EQ(seen.calls, 1);
}

TEST_F(Dc, NoFamilyListsEachInstalledFamilyOnce) {
  Seen seen;
  EnumFontFamiliesA(dc_, nullptr, Collect, reinterpret_cast<LPARAM>(&seen));
  ASSERT_GE(seen.calls, 2);
  std::vector<std::string> sorted = seen.faces;
  std::sort(sorted.begin(), sorted.end());
  EXPECT_EQ(std::adjacent_find(sorted.begin(), sorted.end()), sorted.end());
  EXPECT_NE(std::find(sorted.begin(), sorted.end(), "Liberation Serif"), sorted.end());
}

TEST(Enumeration, RefusesABadDc) {
  Seen seen;
  EXPECT_EQ(EnumFontFamiliesA(nullptr, "Arial", Collect, reinterpret_cast<LPARAM>(&seen)), 0);
  EXPECT_EQ(seen.calls, 0);
}

// ---- Logical fonts -----------------------------------------------------------------------------

TEST(LogicalFont, GetObjectReturnsWhatWasGiven) {
  LOGFONTA lf{};
  lf.lfHeight = 24;
  lf.lfEscapement = lf.lfOrientation = 900;
  lf.lfWeight = 700;
  lf.lfItalic = 1;
  lf.lfUnderline = 1;
  lf.lfCharSet = DEFAULT_CHARSET;
  std::strcpy(lf.lfFaceName, "MS Sans Serif");
  HFONT font = CreateFontIndirectA(&lf);
  ASSERT_NE(font, nullptr);
  EXPECT_EQ(GetObjectType(font), static_cast<DWORD>(OBJ_FONT));
  LOGFONTA back{};
  ASSERT_EQ(GetObjectA(font, sizeof back, &back), static_cast<int>(sizeof back));
  EXPECT_EQ(std::memcmp(&lf, &back, sizeof lf), 0);
  DeleteObject(font);
  EXPECT_EQ(CreateFontIndirectA(nullptr), nullptr);
}

TEST(LogicalFont, FaceNameIsAlwaysTerminated) {
  LOGFONTA lf{};
  std::memset(lf.lfFaceName, 'x', sizeof lf.lfFaceName);
  HFONT font = CreateFontIndirectA(&lf);
  LOGFONTA back{};
  GetObjectA(font, sizeof back, &back);
  EXPECT_EQ(std::strlen(back.lfFaceName), static_cast<size_t>(LF_FACESIZE - 1));
  DeleteObject(font);
}

// ---- Text state ----------------------------------------------------------------------------------

TEST_F(Dc, AlignmentIsKeptAndThePreviousReturned) {
  EXPECT_EQ(GetTextAlign(dc_), static_cast<UINT>(TA_LEFT | TA_TOP | TA_NOUPDATECP));
  EXPECT_EQ(SetTextAlign(dc_, TA_CENTER | TA_BASELINE | TA_UPDATECP), static_cast<UINT>(0));
  EXPECT_EQ(GetTextAlign(dc_), static_cast<UINT>(TA_CENTER | TA_BASELINE | TA_UPDATECP));
  EXPECT_EQ(SetTextAlign(dc_, TA_RIGHT | TA_BOTTOM), static_cast<UINT>(TA_CENTER | TA_BASELINE | TA_UPDATECP));
  EXPECT_EQ(GetTextAlign(dc_), static_cast<UINT>(TA_RIGHT | TA_BOTTOM));
  EXPECT_EQ(SetTextAlign(nullptr, TA_LEFT), static_cast<UINT>(GDI_ERROR));
}

TEST_F(Dc, CharacterExtraIsKept) {
  EXPECT_EQ(GetTextCharacterExtra(dc_), 0);
  EXPECT_EQ(SetTextCharacterExtra(dc_, 7), 0);
  EXPECT_EQ(SetTextCharacterExtra(dc_, -2), 7);
  EXPECT_EQ(GetTextCharacterExtra(dc_), -2);
}

TEST_F(Dc, JustificationIsKeptAndClearedWithoutBreaks) {
  int extra = -1, count = -1;
  pvplatform::GetTextJustification(dc_, extra, count);
  EXPECT_EQ(extra, 0);
  EXPECT_EQ(count, 0);
  EXPECT_TRUE(SetTextJustification(dc_, 12, 1));
  pvplatform::GetTextJustification(dc_, extra, count);
  EXPECT_EQ(extra, 12);
  EXPECT_EQ(count, 1);
  EXPECT_TRUE(SetTextJustification(dc_, 12, 0));
  pvplatform::GetTextJustification(dc_, extra, count);
  EXPECT_EQ(extra, 0);
  EXPECT_EQ(count, 0);
  EXPECT_FALSE(SetTextJustification(nullptr, 1, 1));
}

}  // namespace
