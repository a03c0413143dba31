// Pixels and colour resolution on every depth, clip regions, and blits between pages.
#include <cstdio>
#include <string>

#include "scene.h"

namespace reference {
namespace {

std::string Describe(COLORREF c) {
  char buf[48];
  if (c & 0x01000000)
    std::snprintf(buf, sizeof buf, "PALETTEINDEX(%u)", static_cast<unsigned>(c & 0xFFFF));
  else
    std::snprintf(buf, sizeof buf, "RGB(%u,%u,%u)", GetRValue(c), GetGValue(c), GetBValue(c));
  return buf;
}

// Exact table colours, colours half-way between entries, the duplicated ones, and a spread of
// arbitrary colours.
std::vector<COLORREF> RgbColours() {
  std::vector<COLORREF> v = {RGB(0, 0, 0),       RGB(255, 255, 255), RGB(128, 0, 0),     RGB(192, 192, 192),
                             RGB(128, 128, 128), RGB(64, 0, 0),      RGB(13, 13, 13),    RGB(96, 96, 96),
                             RGB(1, 1, 1),       RGB(254, 254, 254), RGB(255, 0, 0),     RGB(0, 0, 128),
                             RGB(0, 0, 64),      RGB(127, 127, 127), RGB(160, 160, 160), RGB(102, 102, 102),
                             RGB(255, 255, 0),   RGB(0, 128, 128),   RGB(25, 25, 25),    RGB(26, 26, 26)};
  Lcg r(11);
  for (int i = 0; i < 140; ++i) v.push_back(RGB(r.Next(0, 255), r.Next(0, 255), r.Next(0, 255)));
  return v;
}

std::vector<COLORREF> IndexColours(int count) {
  std::vector<COLORREF> v;
  for (int i = 0; i < count; ++i) v.push_back(PALETTEINDEX(i));
  v.push_back(PALETTEINDEX(1000));
  v.push_back(PALETTEINDEX(0xFFFF));
  return v;
}

// One pixel per colour, row by row, each read back with GetPixel.
void SetAndRead(Canvas &c, const std::vector<COLORREF> &colours) {
  const int w = c.page.Width();
  for (size_t i = 0; i < colours.size(); ++i) {
    const int x = static_cast<int>(i) % w, y = static_cast<int>(i) / w;
    SetPixelV(c.dc, x, y, colours[i]);
    c.Record("GetPixel after " + Describe(colours[i]), GetPixel(c.dc, x, y));
  }
}

// A palette unlike the page's table: some exact table colours, some between entries.
std::vector<PALETTEENTRY> OddPalette() {
  std::vector<PALETTEENTRY> p;
  Lcg r(21);
  for (int i = 0; i < 40; ++i) {
    if (i % 3 == 0)
      p.push_back(PALETTEENTRY{static_cast<BYTE>(i * 6), 0, 0, 0});
    else
      p.push_back(PALETTEENTRY{static_cast<BYTE>(r.Next(0, 255)), static_cast<BYTE>(r.Next(0, 255)),
                               static_cast<BYTE>(r.Next(0, 255)), 0});
  }
  return p;
}

std::vector<RGBQUAD> Table1(int r0, int g0, int b0, int r1, int g1, int b1) {
  return {RGBQUAD{static_cast<BYTE>(b0), static_cast<BYTE>(g0), static_cast<BYTE>(r0), 0},
          RGBQUAD{static_cast<BYTE>(b1), static_cast<BYTE>(g1), static_cast<BYTE>(r1), 0}};
}

// On 1-bit pages pens and brushes follow the background colour: draw with a table colour, the
// background colour and others, under both background colours.
void OneBitPens(Canvas &c) {
  const COLORREF colours[] = {RGB(0, 0, 128), RGB(255, 255, 0), RGB(10, 10, 10), RGB(255, 0, 0), RGB(200, 200, 200)};
  int y = 1;
  for (COLORREF back : {RGB(0, 0, 128), RGB(255, 255, 0), RGB(255, 0, 0)}) {
    SetBkColor(c.dc, back);
    for (COLORREF colour : colours) {
      Use pen(c.dc, Pen(PS_SOLID, 1, colour));
      Line(c.dc, 0, y, 40, y);
      SetPixelV(c.dc, 45, y, colour);
      RECT r{50, y, 60, y + 1};
      HBRUSH brush = SolidBrush(colour);
      FillRect(c.dc, &r, brush);
      DeleteObject(brush);
      y += 2;
    }
  }
}

void PixelEdges(Canvas &c) {
  FillIndexRamp(c.page);
  const int w = c.page.Width(), h = c.page.Height();
  const POINT outside[] = {{-1, 0}, {0, -1}, {w, 0}, {0, h}, {w, h}, {-30000, 5}, {5, 30000}};
  for (const POINT &p : outside) {
    SetPixelV(c.dc, p.x, p.y, RGB(255, 0, 0));
    c.Record("GetPixel(" + std::to_string(p.x) + "," + std::to_string(p.y) + ")", GetPixel(c.dc, p.x, p.y));
  }
  // GetPixel reads outside the clip region too; SetPixelV does not write there.
  HRGN clip = CreateRectRgn(4, 4, 12, 12);
  SelectClipRgn(c.dc, clip);
  DeleteObject(clip);
  for (int i = 0; i < 16; ++i) SetPixelV(c.dc, i, i, RGB(255, 255, 255));
  c.Record("GetPixel(1,1) outside the clip", GetPixel(c.dc, 1, 1));
  c.Record("GetPixel(5,5) inside the clip", GetPixel(c.dc, 5, 5));
  // SetPixel answers with the colour it set.
  for (COLORREF colour : {RGB(64, 0, 0), RGB(13, 13, 13), PALETTEINDEX(3), RGB(250, 250, 250)})
    c.Record("SetPixel " + Describe(colour), SetPixel(c.dc, 6, 6, colour));
}

void ClipBox(Canvas &c, const char *what) {
  RECT box{};
  const int type = GetClipBox(c.dc, &box);
  const std::string prefix = std::string("GetClipBox ") + what;
  c.Record(prefix + " type", static_cast<uint32_t>(type));
  c.Record(prefix + " left", static_cast<uint32_t>(box.left));
  c.Record(prefix + " top", static_cast<uint32_t>(box.top));
  c.Record(prefix + " right", static_cast<uint32_t>(box.right));
  c.Record(prefix + " bottom", static_cast<uint32_t>(box.bottom));
}

// Thin, styled and wide lines, a polyline and pixels across a clip rectangle.
void ClippedDrawing(Canvas &c) {
  Lcg r(31);
  for (int i = 0; i < 30; ++i) {
    Use pen(c.dc, Pen(PS_SOLID, 1, CubeColor(i)));
    Line(c.dc, r.Next(-20, 140), r.Next(-20, 110), r.Next(-20, 140), r.Next(-20, 110));
  }
  SetBkMode(c.dc, OPAQUE);
  SetBkColor(c.dc, RGB(0, 0, 128));
  {
    Use pen(c.dc, Pen(PS_DASHDOT, 1, RGB(255, 255, 0)));
    Line(c.dc, 0, 20, 120, 24);
    Line(c.dc, 50, 0, 52, 90);
  }
  {
    Use pen(c.dc, Pen(PS_SOLID, 5, RGB(0, 255, 0)));
    Line(c.dc, 10, 80, 110, 10);
    Line(c.dc, 88, 40, 88, 40);
  }
  const POINT poly[] = {{0, 0}, {60, 45}, {119, 0}, {119, 89}, {0, 89}};
  {
    Use pen(c.dc, Pen(PS_SOLID, 1, RGB(255, 0, 255)));
    Polyline(c.dc, poly, 5);
  }
  for (int y = 0; y < c.page.Height(); y += 3)
    for (int x = 0; x < c.page.Width(); x += 3) SetPixelV(c.dc, x, y, RGB(255, 255, 255));
}

Scene ClipScene(const std::string &name, RECT rect, bool removeAfter) {
  return {name, Format(120, 90, 8), [=](Canvas &c) {
            HRGN region = CreateRectRgn(rect.left, rect.top, rect.right, rect.bottom);
            c.Record("SelectClipRgn", static_cast<uint32_t>(SelectClipRgn(c.dc, region)));
            DeleteObject(region);  // the DC keeps its own copy
            ClipBox(c, "with region");
            if (removeAfter) {
              c.Record("SelectClipRgn NULL", static_cast<uint32_t>(SelectClipRgn(c.dc, nullptr)));
              ClipBox(c, "without region");
            }
            ClippedDrawing(c);
          }};
}

// A source page of the given depth, filled with every index or a gradient.
void Blits(Canvas &c, int sourceBits, std::vector<RGBQUAD> sourceTable, bool clip) {
  PageFormat format = Format(48, 40, sourceBits, std::move(sourceTable));
  Page source(format);
  if (!source.Ok()) {
    c.Record("source page", 0);
    return;
  }
  FillIndexRamp(source);
  FillSolid(c.page, c.page.Bits() == 32 ? 0x203040 : 1);
  if (clip) {
    HRGN region = CreateRectRgn(20, 15, 90, 70);
    SelectClipRgn(c.dc, region);
    DeleteObject(region);
  }
  BitBlt(c.dc, 2, 2, 48, 40, source.Dc(), 0, 0, SRCCOPY);       // all of it
  BitBlt(c.dc, 60, 2, 20, 15, source.Dc(), 10, 12, SRCCOPY);    // a part
  BitBlt(c.dc, 60, 30, 30, 30, source.Dc(), -10, 25, SRCCOPY);  // source partly off its page
  BitBlt(c.dc, 100, 60, 48, 40, source.Dc(), 0, 0, SRCCOPY);    // destination partly off
  BitBlt(c.dc, -20, 50, 48, 40, source.Dc(), 0, 0, SRCCOPY);
  BitBlt(c.dc, 30, 50, 0, 10, source.Dc(), 0, 0, SRCCOPY);      // empty
}

}  // namespace

void AddPixelScenes(std::vector<Scene> &scenes) {
  const std::vector<RGBQUAD> navyYellow = Table1(0, 0, 128, 255, 255, 0);
  struct PixelCase {
    const char *name;
    int bits;
    std::vector<RGBQUAD> table;
    std::vector<PALETTEENTRY> palette;
    std::vector<COLORREF> colours;
  };
  const PixelCase cases[] = {
      {"8bit-rgb", 8, {}, {}, RgbColours()},
      {"8bit-rgb-duplicates", 8, DuplicatesTable(), {}, RgbColours()},
      {"8bit-paletteindex", 8, {}, {}, IndexColours(300)},
      {"8bit-paletteindex-duplicates", 8, DuplicatesTable(), {}, IndexColours(260)},
      {"8bit-paletteindex-other-palette", 8, {}, OddPalette(), IndexColours(50)},
      {"4bit-rgb", 4, {}, {}, RgbColours()},
      {"4bit-paletteindex", 4, {}, {}, IndexColours(20)},
      {"1bit-rgb", 1, {}, {}, RgbColours()},
      {"1bit-rgb-navy-yellow", 1, navyYellow, {}, RgbColours()},
      {"1bit-paletteindex", 1, navyYellow, PaletteOf(StandardTable(4)), IndexColours(20)},
      {"32bit-rgb", 32, {}, {}, RgbColours()},
      {"32bit-paletteindex", 32, {}, PaletteOf(StandardTable(8)), IndexColours(260)},
  };
  for (const PixelCase &pc : cases) {
    std::vector<COLORREF> colours = pc.colours;
    scenes.push_back({std::string("pixels/") + pc.name, Format(20, 16, pc.bits, pc.table, pc.palette),
                      [colours](Canvas &c) { SetAndRead(c, colours); }});
  }
  scenes.push_back({"pixels/1bit-pens-and-brushes", Format(64, 32, 1, navyYellow), OneBitPens});
  scenes.push_back({"pixels/edges-and-clip", Format(16, 16, 8), PixelEdges});
  scenes.push_back({"pixels/edges-and-clip-32bit", Format(16, 16, 32), PixelEdges});

  scenes.push_back({"clip/none", Format(120, 90, 8), [](Canvas &c) {
                      ClipBox(c, "of a new DC");
                      ClippedDrawing(c);
                    }});
  scenes.push_back(ClipScene("clip/rectangle", RECT{20, 15, 90, 70}, false));
  scenes.push_back(ClipScene("clip/reversed-corners", RECT{90, 70, 20, 15}, false));
  scenes.push_back(ClipScene("clip/empty", RECT{30, 30, 30, 60}, false));
  scenes.push_back(ClipScene("clip/beyond-page", RECT{-50, -40, 500, 400}, false));
  scenes.push_back(ClipScene("clip/off-page", RECT{200, 10, 300, 50}, false));
  scenes.push_back(ClipScene("clip/one-pixel", RECT{60, 45, 61, 46}, false));
  scenes.push_back(ClipScene("clip/removed", RECT{20, 15, 90, 70}, true));
  scenes.push_back({"clip/replaced", Format(120, 90, 8), [](Canvas &c) {
                      HRGN a = CreateRectRgn(0, 0, 40, 40), b = CreateRectRgn(50, 30, 110, 80);
                      SelectClipRgn(c.dc, a);
                      SelectClipRgn(c.dc, b);  // replaces, does not combine
                      DeleteObject(a);
                      DeleteObject(b);
                      ClipBox(c, "after two");
                      ClippedDrawing(c);
                    }});

  for (bool clip : {false, true}) {
    const std::string suffix = clip ? "-clipped" : "";
    scenes.push_back({"blit/8to32" + suffix, Format(140, 100, 32), [=](Canvas &c) { Blits(c, 8, {}, clip); }});
  }
  scenes.push_back({"blit/8to32-duplicates", Format(140, 100, 32), [](Canvas &c) { Blits(c, 8, DuplicatesTable(), false); }});
  scenes.push_back({"blit/4to32", Format(140, 100, 32), [](Canvas &c) { Blits(c, 4, {}, false); }});
  scenes.push_back({"blit/1to32", Format(140, 100, 32), [=](Canvas &c) { Blits(c, 1, navyYellow, false); }});
  scenes.push_back({"blit/32to32", Format(140, 100, 32), [](Canvas &c) { Blits(c, 32, {}, false); }});
  scenes.push_back({"blit/8to8", Format(140, 100, 8), [](Canvas &c) { Blits(c, 8, {}, false); }});
  scenes.push_back({"blit/8to8-other-table", Format(140, 100, 8), [](Canvas &c) { Blits(c, 8, DuplicatesTable(), false); }});
  scenes.push_back({"blit/8to1", Format(140, 100, 1, navyYellow), [](Canvas &c) { Blits(c, 8, {}, false); }});
  scenes.push_back({"blit/32to8", Format(140, 100, 8), [](Canvas &c) { Blits(c, 32, {}, false); }});
}

}  // namespace reference
