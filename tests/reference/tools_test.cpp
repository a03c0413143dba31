// The reference check's own tools: the scene file, the comparison and its pixel budgets, and
// the PNG writer.
#include <gtest/gtest.h>

#include <cstdio>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

#include "compare.h"
#include "png_file.h"
#include "scene_file.h"

using namespace reference;

namespace {

std::string TempPath(const std::string &name) {
  return (std::filesystem::temp_directory_path() /
          ("reference_tools_" + std::to_string(::testing::UnitTest::GetInstance()->random_seed()) + "_" + name))
      .string();
}

SceneResult MakeScene(const std::string &name, int width, int height, int bits) {
  SceneResult s;
  s.name = name;
  s.width = width;
  s.height = height;
  s.bits = bits;
  if (bits != 32)
    for (uint32_t i = 0; i < (1u << bits); ++i) s.table.push_back(i * 0x010203u & 0xFFFFFF);
  const uint32_t mask = bits == 32 ? 0xFFFFFF : (1u << bits) - 1;
  for (int i = 0; i < width * height; ++i) s.pixels.push_back((static_cast<uint32_t>(i) * 2654435761u) & mask);
  return s;
}

// Writes the scenes; `end` false leaves the file as a renderer that died would.
void WriteFile(const std::string &path, const std::vector<SceneResult> &scenes, bool end = true) {
  std::FILE *f = std::fopen(path.c_str(), "wb");
  ASSERT_NE(f, nullptr);
  ASSERT_TRUE(WriteHeader(f));
  for (const SceneResult &s : scenes) {
    ASSERT_TRUE(WriteScene(f, s));
  }
  if (end) {
    ASSERT_TRUE(WriteEnd(f));
  }
  std::fclose(f);
}

std::vector<uint8_t> ReadBytes(const std::string &path) {
  std::ifstream in(path, std::ios::binary);
  return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

uint32_t Be32(const std::vector<uint8_t> &b, size_t at) {
  return static_cast<uint32_t>(b[at]) << 24 | b[at + 1] << 16 | b[at + 2] << 8 | b[at + 3];
}

}  // namespace

// ---- Scene files ----------------------------------------------------------------------------

TEST(SceneFile, EveryDepthValuesAndErrorsSurviveTheRoundTrip) {
  std::vector<SceneResult> scenes = {MakeScene("a/one-bit", 13, 3, 1), MakeScene("a/four-bit", 5, 7, 4),
                                     MakeScene("b/eight-bit", 17, 9, 8), MakeScene("b/rgb", 11, 4, 32)};
  scenes[1].values = {{"GetPixel(1,2)", 0xFFFFFFFFu}, {"", 0}};
  scenes[3].values = {{"position.x", 0x80000000u}};
  SceneResult broken;
  broken.name = "c/no-page";
  broken.error = "the page could not be made";
  scenes.push_back(broken);

  const std::string path = TempPath("roundtrip.bin");
  WriteFile(path, scenes);
  std::vector<SceneResult> back;
  std::string error;
  ASSERT_TRUE(ReadScenes(path, back, error)) << error;
  ASSERT_EQ(back.size(), scenes.size());
  for (size_t i = 0; i < scenes.size(); ++i) {
    SCOPED_TRACE(scenes[i].name);
    EXPECT_EQ(back[i].name, scenes[i].name);
    EXPECT_EQ(back[i].error, scenes[i].error);
    EXPECT_EQ(back[i].width, scenes[i].width);
    EXPECT_EQ(back[i].height, scenes[i].height);
    EXPECT_EQ(back[i].bits, scenes[i].bits);
    EXPECT_EQ(back[i].table, scenes[i].table);
    EXPECT_EQ(back[i].pixels, scenes[i].pixels);
    EXPECT_EQ(back[i].values, scenes[i].values);
  }
  std::remove(path.c_str());
}

TEST(SceneFile, ARendererThatDiedLeavesItsFinishedScenesAndAnError) {
  const std::string path = TempPath("truncated.bin");
  WriteFile(path, {MakeScene("a/first", 4, 4, 8), MakeScene("a/second", 4, 4, 8)}, false);
  std::vector<SceneResult> back;
  std::string error;
  EXPECT_FALSE(ReadScenes(path, back, error));
  EXPECT_EQ(back.size(), 2u);
  EXPECT_NE(error.find("end mark"), std::string::npos) << error;

  // Cut inside the second scene: only the first is kept.
  std::vector<uint8_t> bytes = ReadBytes(path);
  ASSERT_GT(bytes.size(), 40u);
  bytes.resize(bytes.size() - 10);
  std::ofstream(path, std::ios::binary | std::ios::trunc).write(reinterpret_cast<const char *>(bytes.data()),
                                                                static_cast<std::streamsize>(bytes.size()));
  back.clear();
  EXPECT_FALSE(ReadScenes(path, back, error));
  EXPECT_EQ(back.size(), 1u);
  std::remove(path.c_str());
}

TEST(SceneFile, RefusesFilesThatAreNotScenesOrDoNotAddUp) {
  std::vector<SceneResult> back;
  std::string error;
  EXPECT_FALSE(ReadScenes(TempPath("missing.bin"), back, error));

  const std::string path = TempPath("other.bin");
  std::ofstream(path) << "not a scene file at all";
  EXPECT_FALSE(ReadScenes(path, back, error));

  // A page whose pixels do not fill width x height.
  SceneResult s = MakeScene("a/short", 4, 4, 8);
  s.pixels.pop_back();
  WriteFile(path, {s});
  EXPECT_FALSE(ReadScenes(path, back, error));
  EXPECT_TRUE(back.empty());
  std::remove(path.c_str());
}

// ---- Filters and pixel budgets -----------------------------------------------------------------

TEST(Filters, PatternsAndPrefixes) {
  const struct {
    const char *filter;
    const char *name;
    bool selected;
  } cases[] = {
      {"lines", "lines/edges", true},          {"lines/", "lines/edges", true},
      {"lines/", "linesx/edges", false},       {"pens/*-opaque-*", "pens/dash-opaque-w1", true},
      {"pens/*-opaque-*", "pens/dash-transparent-w1", false},
      {"*32bit", "rop2/lines-32bit", true},    {"*32bit", "rop2/lines-32bit-x", false},
      {"arc/pen-w?", "arc/pen-w5", true},      {"arc/pen-w?", "arc/pen-w55", false},
      {"ellipse/clip", "ellipse/clip", true},  {"*", "", true},
      {"a*b*c", "aXbYbZc", true},              {"a*b*c", "aXbYbZ", false},
  };
  for (const auto &c : cases) EXPECT_EQ(Selected(c.name, {c.filter}), c.selected) << c.filter << " on " << c.name;
  EXPECT_TRUE(Selected("anything/at-all", {}));
  EXPECT_TRUE(Selected("fill/solid-opaque", {"lines", "fill"}));
}

TEST(PixelBudgets, ParsesSceneCountAndReasonAndRefusesWhatIsIncomplete) {
  std::vector<PixelBudget> budgets;
  std::string error;
  ASSERT_TRUE(ParseBudgets("# comment\n\narc/pen-w5  12  ragged wide arcs \r\nellipse/clip\t0\tsee above\n", budgets,
                           error))
      << error;
  ASSERT_EQ(budgets.size(), 2u);
  EXPECT_EQ(budgets[0].scene, "arc/pen-w5");
  EXPECT_EQ(budgets[0].pixels, 12);
  EXPECT_EQ(budgets[0].reason, "ragged wide arcs");
  EXPECT_EQ(budgets[1].scene, "ellipse/clip");
  EXPECT_EQ(budgets[1].pixels, 0);
  EXPECT_EQ(budgets[1].reason, "see above");

  const struct {
    const char *text;
    const char *error;
  } refused[] = {
      {"lines/edges 3 ok\npens/dash 4\n", "line 2"},       // no reason
      {"pens/dash\n", "line 1"},                          // nothing but a name
      {"pens/dash many pixels\n", "not a number"},
      {"pens/dash -3 why\n", "not a number"},
      {"pens/dash 1 why\n\npens/dash 2 again\n", "line 3: a second budget"},
  };
  for (const auto &r : refused) {
    budgets.clear();
    EXPECT_FALSE(ParseBudgets(r.text, budgets, error)) << r.text;
    EXPECT_NE(error.find(r.error), std::string::npos) << r.text << ": " << error;
  }
}

// ---- Comparison --------------------------------------------------------------------------------

class Comparing : public ::testing::Test {
 protected:
  std::vector<SceneResult> ours_ = {MakeScene("lines/a", 8, 6, 8), MakeScene("lines/b", 5, 5, 32),
                                    MakeScene("pens/c", 6, 6, 4)};
  std::vector<SceneResult> wine_ = ours_;
  std::vector<PixelBudget> budgets_;
};

TEST_F(Comparing, IdenticalRenderingsPass) {
  const Comparison c = Compare(ours_, wine_, {}, budgets_, 8);
  EXPECT_TRUE(c.Passed());
  EXPECT_EQ(c.compared, 3);
  EXPECT_EQ(c.matching, 3);
  EXPECT_TRUE(c.differing.empty());
}

TEST_F(Comparing, APixelOrAValueThatDiffersFailsAndIsLocated) {
  wine_[0].pixels[2 * 8 + 5] ^= 1;  // (5, 2)
  wine_[2].pixels[0] ^= 1;
  ours_[1].values = {{"GetPixel(0,0)", 0x123456}};
  wine_[1].values = {{"GetPixel(0,0)", 0x123457}};
  const Comparison c = Compare(ours_, wine_, {}, budgets_, 8);
  EXPECT_FALSE(c.Passed());
  ASSERT_EQ(c.differing.size(), 3u);
  EXPECT_EQ(c.differing[0].name, "lines/a");
  EXPECT_EQ(c.differing[0].differentPixels, 1);
  ASSERT_FALSE(c.differing[0].details.empty());
  EXPECT_EQ(c.differing[0].details[0].rfind("(5,2) ours ", 0), 0u) << c.differing[0].details[0];
  EXPECT_EQ(c.differing[1].differentPixels, 0);
  EXPECT_NE(c.differing[1].details[0].find("GetPixel(0,0)"), std::string::npos);
}

TEST_F(Comparing, ListsOnlyTheFirstDifferencesButCountsThemAll) {
  for (uint32_t &p : wine_[0].pixels) p ^= 1;
  const Comparison c = Compare(ours_, wine_, {}, budgets_, 3);
  ASSERT_EQ(c.differing.size(), 1u);
  EXPECT_EQ(c.differing[0].differentPixels, 48);
  EXPECT_EQ(c.differing[0].details.size(), 4u);  // three pixels and "..."
}

TEST_F(Comparing, AScenePassesOnlyWithExactlyItsBudget) {
  wine_[2].pixels[0] ^= 1;
  wine_[2].pixels[1] ^= 1;
  const struct {
    int budget;
    bool passes;
  } cases[] = {{0, false}, {1, false}, {2, true}, {3, false}};  // over, over, exact, larger than needed
  for (const auto &k : cases) {
    budgets_ = {{"lines/a", 0, "matches"}, {"pens/c", k.budget, "a reason"}};
    const Comparison c = Compare(ours_, wine_, {}, budgets_, 8);
    EXPECT_EQ(c.Passed(), k.passes) << "budget " << k.budget;
    ASSERT_EQ(c.differing.size(), 1u);
    EXPECT_EQ(c.differing[0].differentPixels, 2);
    EXPECT_EQ(c.differing[0].budget, &budgets_[1]);
  }
  // A budget on a scene that matches is larger than needed too.
  budgets_ = {{"lines/b", 1, "was needed once"}};
  EXPECT_FALSE(Compare(ours_, ours_, {}, budgets_, 8).Passed());
}

TEST_F(Comparing, ARecordedValueThatDiffersFailsWhateverTheBudget) {
  ours_[1].values = {{"GetPixel(0,0)", 1}};
  wine_[1].values = {{"GetPixel(0,0)", 2}};
  budgets_ = {{"lines/b", 0, "none"}};
  EXPECT_FALSE(Compare(ours_, wine_, {}, budgets_, 8).Passed());
  wine_[1].pixels[0] ^= 1;
  budgets_ = {{"lines/b", 1, "one pixel"}};
  EXPECT_FALSE(Compare(ours_, wine_, {}, budgets_, 8).Passed());
}

TEST_F(Comparing, ABudgetForNoSceneFailsWithinTheFilter) {
  budgets_ = {{"lines/gone", 4, "renamed since"}};
  EXPECT_FALSE(Compare(ours_, wine_, {}, budgets_, 8).Passed());
  EXPECT_TRUE(Compare(ours_, wine_, {"pens"}, budgets_, 8).Passed());
}

TEST_F(Comparing, MissingScenesAndBrokenPagesFailEvenWithABudget) {
  for (const char *name : {"lines/a", "lines/b", "pens/c"}) budgets_.push_back({name, 48, "everything"});
  std::vector<SceneResult> ours = ours_;
  ours.pop_back();                       // our renderer stopped before pens/c
  wine_.erase(wine_.begin());            // Wine has no lines/a
  wine_[0].width = 1;                    // lines/b on a different page
  wine_[0].height = 25;
  EXPECT_FALSE(Compare(ours, wine_, {}, budgets_, 8).Passed());
  EXPECT_EQ(Compare(ours, wine_, {}, budgets_, 8).failures.size(), 3u);

  std::vector<SceneResult> failed = ours_;
  failed[0].error = "the page could not be made";
  EXPECT_FALSE(Compare(failed, ours_, {}, budgets_, 8).Passed());
}

TEST_F(Comparing, AFilterSelectsScenesAndOneThatSelectsNothingFails) {
  wine_[2].pixels[0] ^= 1;
  const Comparison lines = Compare(ours_, wine_, {"lines"}, budgets_, 8);
  EXPECT_TRUE(lines.Passed());
  EXPECT_EQ(lines.compared, 2);
  const Comparison none = Compare(ours_, wine_, {"ellipse"}, budgets_, 8);
  EXPECT_FALSE(none.Passed());
  EXPECT_EQ(none.compared, 0);
}

// ---- PNG ---------------------------------------------------------------------------------------

TEST(Png, ChunksAndChecksumsOfAOnePixelImage) {
  const std::string path = TempPath("one.png");
  ASSERT_TRUE(WritePng(path, 1, 1, {0x102030}, 1));
  const std::vector<uint8_t> b = ReadBytes(path);
  const uint8_t signature[] = {0x89, 'P', 'N', 'G', '\r', '\n', 0x1A, '\n'};
  ASSERT_GE(b.size(), 8u + 25u + 12u);
  EXPECT_TRUE(std::equal(signature, signature + 8, b.begin()));
  EXPECT_EQ(Be32(b, 8), 13u);  // IHDR length
  EXPECT_EQ(std::string(b.begin() + 12, b.begin() + 16), "IHDR");
  EXPECT_EQ(Be32(b, 16), 1u);
  EXPECT_EQ(Be32(b, 20), 1u);
  EXPECT_EQ(b[24], 8);  // bit depth
  EXPECT_EQ(b[25], 2);  // RGB
  // IEND's CRC is the same in every PNG.
  EXPECT_EQ(Be32(b, b.size() - 4), 0xAE426082u);

  // The stored block holds filter 0 and the pixel; Adler-32 of those four bytes closes it.
  const size_t idat = 8 + 25;
  EXPECT_EQ(std::string(b.begin() + idat + 4, b.begin() + idat + 8), "IDAT");
  const size_t z = idat + 8;
  EXPECT_EQ(b[z + 2], 1);  // the final block, stored
  EXPECT_EQ(b[z + 3] | b[z + 4] << 8, 4);
  EXPECT_EQ((b[z + 5] | b[z + 6] << 8) ^ 0xFFFF, 4);
  const std::vector<uint8_t> raw(b.begin() + z + 7, b.begin() + z + 11);
  EXPECT_EQ(raw, (std::vector<uint8_t>{0, 0x10, 0x20, 0x30}));
  const uint32_t a = 1 + 0x10 + 0x20 + 0x30, s = 1 + (1 + 0x10) + (1 + 0x10 + 0x20) + a;
  EXPECT_EQ(Be32(b, z + 11), s << 16 | a);
  std::remove(path.c_str());
}

TEST(Png, LargeImagesSpanSeveralStoredBlocksAndScaleUp) {
  const int w = 120, h = 100, scale = 2;
  std::vector<uint32_t> rgb;
  for (int i = 0; i < w * h; ++i) rgb.push_back(static_cast<uint32_t>(i) * 2654435761u & 0xFFFFFF);
  const std::string path = TempPath("large.png");
  ASSERT_TRUE(WritePng(path, w, h, rgb, scale));
  const std::vector<uint8_t> b = ReadBytes(path);
  ASSERT_GT(b.size(), 41u);
  EXPECT_EQ(Be32(b, 16), static_cast<uint32_t>(w * scale));
  EXPECT_EQ(Be32(b, 20), static_cast<uint32_t>(h * scale));

  // Undo the stored blocks and compare with the rows as they should be.
  const size_t idatLength = Be32(b, 33);
  size_t at = 33 + 8 + 2;
  const size_t end = 33 + 8 + idatLength - 4;
  std::vector<uint8_t> raw;
  int blocks = 0;
  for (bool last = false; !last && at < end; ++blocks) {
    last = b[at] & 1;
    const size_t n = b[at + 1] | b[at + 2] << 8;
    ASSERT_EQ(n ^ 0xFFFF, static_cast<size_t>(b[at + 3] | b[at + 4] << 8));
    raw.insert(raw.end(), b.begin() + static_cast<ptrdiff_t>(at + 5), b.begin() + static_cast<ptrdiff_t>(at + 5 + n));
    at += 5 + n;
  }
  EXPECT_GT(blocks, 1);
  std::vector<uint8_t> expected;
  for (int y = 0; y < h * scale; ++y) {
    expected.push_back(0);
    for (int x = 0; x < w * scale; ++x) {
      const uint32_t p = rgb[static_cast<size_t>(y / scale * w + x / scale)];
      expected.insert(expected.end(), {static_cast<uint8_t>(p >> 16), static_cast<uint8_t>(p >> 8), static_cast<uint8_t>(p)});
    }
  }
  EXPECT_EQ(raw, expected);
  std::remove(path.c_str());
}

TEST(Png, RefusesImagesThatDoNotAddUp) {
  const std::string path = TempPath("bad.png");
  EXPECT_FALSE(WritePng(path, 2, 2, {1, 2, 3}, 1));
  EXPECT_FALSE(WritePng(path, 0, 2, {}, 1));
  EXPECT_FALSE(WritePng(path, 1, 1, {1}, 0));
}
