// Text: the four standard faces at many sizes, weights, italic and underline, both directions,
// every alignment with the current position, spacing, backgrounds, mixes, clipping and depths.
// Metrics, extents and positions are recorded as values, so they are compared too.
#include <cstring>
#include <string>

#include "scene.h"

namespace reference {
namespace {

const char *const kFaces[4] = {"Courier New", "MS Sans Serif", "Times New Roman", "Arial"};

HFONT MakeFont(const char *face, int height, int escapement = 0, int weight = FW_NORMAL, bool italic = false,
               bool underline = false) {
  LOGFONTA lf{};
  lf.lfHeight = height;
  lf.lfEscapement = lf.lfOrientation = escapement;
  lf.lfWeight = weight;
  lf.lfItalic = italic;
  lf.lfUnderline = underline;
  lf.lfCharSet = DEFAULT_CHARSET;
  std::strncpy(lf.lfFaceName, face, LF_FACESIZE - 1);
  return CreateFontIndirectA(&lf);
}

void RecordMetrics(Canvas &c, const std::string &label) {
  TEXTMETRICA tm{};
  GetTextMetricsA(c.dc, &tm);
  c.Record(label + " height", static_cast<uint32_t>(tm.tmHeight));
  c.Record(label + " ascent", static_cast<uint32_t>(tm.tmAscent));
  c.Record(label + " descent", static_cast<uint32_t>(tm.tmDescent));
  c.Record(label + " internal leading", static_cast<uint32_t>(tm.tmInternalLeading));
  c.Record(label + " external leading", static_cast<uint32_t>(tm.tmExternalLeading));
  c.Record(label + " average width", static_cast<uint32_t>(tm.tmAveCharWidth));
  c.Record(label + " maximum width", static_cast<uint32_t>(tm.tmMaxCharWidth));
}

void RecordExtent(Canvas &c, const std::string &label, const char *text) {
  SIZE size{};
  GetTextExtentPoint32A(c.dc, text, static_cast<int>(std::strlen(text)), &size);
  c.Record(label + " width", static_cast<uint32_t>(size.cx));
  c.Record(label + " height", static_cast<uint32_t>(size.cy));
}

// Writes at the current position (TA_UPDATECP) and records where it moved to.
void WriteAtPosition(Canvas &c, const std::string &label, int x, int y, const char *text) {
  MoveToEx(c.dc, x, y, nullptr);
  TextOutA(c.dc, 0, 0, text, static_cast<int>(std::strlen(text)));
  POINT p{};
  GetCurrentPositionEx(c.dc, &p);
  c.Record(label + " position x", static_cast<uint32_t>(p.x));
  c.Record(label + " position y", static_cast<uint32_t>(p.y));
}

void Prepare(Canvas &c, COLORREF text = RGB(0, 0, 0)) {
  FillSolid(c.page, c.page.Bits() == 32 ? 0xFFFFFF : (1u << c.page.Bits()) - 1);
  SetBkMode(c.dc, TRANSPARENT);
  SetTextColor(c.dc, text);
}

const char kSample[] = "Lens f=12.5 mm, Ray #3: 45\xB0 (\xE9t\xE9)";

// One face, every size from 8 to 72 measured; the sizes that fit drawn one under another.
void FaceSizes(Canvas &c, const char *face, int weight, bool italic) {
  Prepare(c);
  int y = 0;
  for (int size = 8; size <= 72; ++size) {
    Use font(c.dc, MakeFont(face, size, 0, weight, italic));
    const std::string label = std::to_string(size);
    RecordMetrics(c, label);
    RecordExtent(c, label + " sample", kSample);
    if (size <= 24 || size % 8 == 0) {
      if (y + size <= c.page.Height()) TextOutA(c.dc, 2, y, kSample, static_cast<int>(std::strlen(kSample)));
      y += size;
    }
  }
}

void Alignments(Canvas &c, int escapement) {
  Prepare(c);
  Use font(c.dc, MakeFont("Arial", 20, escapement));
  static constexpr UINT horizontal[3] = {TA_LEFT, TA_CENTER, TA_RIGHT};
  static constexpr UINT vertical[3] = {TA_TOP, TA_BOTTOM, TA_BASELINE};
  for (int h = 0; h < 3; ++h)
    for (int v = 0; v < 3; ++v) {
      SetTextAlign(c.dc, horizontal[h] | vertical[v] | TA_UPDATECP);
      const int x = escapement ? 40 + 60 * (h * 3 + v) : 100 + 130 * h;
      const int y = escapement ? 100 + 40 * h : 40 + 60 * v;
      SetPixelV(c.dc, x, y, RGB(255, 0, 0));
      WriteAtPosition(c, "align " + std::to_string(h) + std::to_string(v), x, y, "\xC9g|fy");
    }
  // The position is left alone without TA_UPDATECP.
  SetTextAlign(c.dc, TA_LEFT | TA_TOP);
  MoveToEx(c.dc, 7, 9, nullptr);
  TextOutA(c.dc, 5, escapement ? 230 : 200, "no update", 9);
  POINT p{};
  GetCurrentPositionEx(c.dc, &p);
  c.Record("no update position x", static_cast<uint32_t>(p.x));
  c.Record("no update position y", static_cast<uint32_t>(p.y));
}

void Styles(Canvas &c, int escapement) {
  Prepare(c);
  int row = 0;
  for (const char *face : kFaces)
    for (int style = 0; style < 4; ++style) {
      const bool bold = style & 1, italic = style & 2;
      Use font(c.dc, MakeFont(face, 16, escapement, bold ? FW_BOLD : FW_NORMAL, italic, style == 3 || row % 5 == 0));
      const std::string label = std::string(face) + " " + std::to_string(style);
      RecordMetrics(c, label);
      RecordExtent(c, label, "Focal point F'");
      if (escapement)
        TextOutA(c.dc, 4 + 19 * row, 236, "Focal point F'", 14);
      else
        TextOutA(c.dc, 4 + 150 * (row / 8), 4 + 19 * (row % 8), "Focal point F'", 14);
      ++row;
    }
}

void Spacing(Canvas &c) {
  Prepare(c);
  Use font(c.dc, MakeFont("Times New Roman", 18));
  int y = 2;
  for (int extra : {0, 1, 3, 10}) {
    SetTextCharacterExtra(c.dc, extra);
    RecordExtent(c, "extra " + std::to_string(extra), "axis of the lens");
    SetTextAlign(c.dc, TA_UPDATECP);
    WriteAtPosition(c, "extra " + std::to_string(extra), 2, y, "axis of the lens");
    y += 22;
  }
  SetTextCharacterExtra(c.dc, 0);
  Use vertical(c.dc, MakeFont("Times New Roman", 18, 900));
  SetTextCharacterExtra(c.dc, 4);
  WriteAtPosition(c, "extra 4 upward", 280, 190, "upward");
}

void Backgrounds(Canvas &c) {
  FillIndexRamp(c.page);
  SetBkMode(c.dc, OPAQUE);
  SetBkColor(c.dc, PALETTEINDEX(9));
  SetTextColor(c.dc, PALETTEINDEX(12));
  Use font(c.dc, MakeFont("Arial", 17, 0, FW_BOLD));
  TextOutA(c.dc, 3, 3, "Opaque text", 11);
  SetTextAlign(c.dc, TA_RIGHT | TA_BOTTOM);
  TextOutA(c.dc, 150, 60, "right, bottom", 13);
  SetTextAlign(c.dc, TA_LEFT | TA_TOP);
  SetBkMode(c.dc, TRANSPARENT);
  TextOutA(c.dc, 3, 62, "Transparent text", 16);
  SetBkMode(c.dc, OPAQUE);
  Use vertical(c.dc, MakeFont("Courier New", 15, 900, FW_NORMAL, false, true));
  TextOutA(c.dc, 160, 100, "Up, opaque", 10);
  // Text ignores the mix: what it writes is the plain colour.
  SetROP2(c.dc, R2_XORPEN);
  TextOutA(c.dc, 180, 100, "XOR mix", 7);
  SetBkMode(c.dc, TRANSPARENT);
  SetROP2(c.dc, R2_NOT);
  TextOutA(c.dc, 200, 100, "NOT mix", 7);
}

void Clipped(Canvas &c) {
  Prepare(c, RGB(0, 0, 128));
  HRGN region = CreateRectRgn(20, 15, 150, 70);
  SelectClipRgn(c.dc, region);
  SetBkMode(c.dc, OPAQUE);
  SetBkColor(c.dc, RGB(255, 255, 0));
  Use font(c.dc, MakeFont("Arial", 40));
  TextOutA(c.dc, 5, 5, "Clipped", 7);
  Use vertical(c.dc, MakeFont("Times New Roman", 30, 900));
  TextOutA(c.dc, 120, 100, "Up", 2);
  // A glyph too large to keep whole, mostly outside the clip.
  Use large(c.dc, MakeFont("Times New Roman", 600));
  SetBkMode(c.dc, TRANSPARENT);
  TextOutA(c.dc, -60, -300, "W", 1);
  SelectClipRgn(c.dc, nullptr);
  DeleteObject(region);
}

// Every byte value as a character of Windows-1252, the control characters included.
void AllBytes(Canvas &c) {
  Prepare(c);
  Use font(c.dc, MakeFont("Arial", 16));
  for (int row = 0; row < 8; ++row) {
    char text[32];
    for (int i = 0; i < 32; ++i) text[i] = static_cast<char>(row * 32 + i);
    const std::string label = "bytes " + std::to_string(row * 32);
    SIZE size{};
    GetTextExtentPoint32A(c.dc, text, 32, &size);
    c.Record(label + " width", static_cast<uint32_t>(size.cx));
    TextOutA(c.dc, 2, 2 + 18 * row, text, 32);
  }
}

void Depths(Canvas &c) {
  Prepare(c);
  Use font(c.dc, MakeFont("Arial", 14, 0, FW_BOLD));
  const COLORREF colours[4] = {RGB(0, 0, 0), RGB(200, 30, 30), RGB(30, 160, 60), RGB(40, 40, 220)};
  for (int i = 0; i < 4; ++i) {
    SetTextColor(c.dc, colours[i]);
    SetBkMode(c.dc, i % 2 ? OPAQUE : TRANSPARENT);
    SetBkColor(c.dc, RGB(255, 255, 0));
    TextOutA(c.dc, 2, 2 + 17 * i, "Depth of field", 14);
  }
}

// The extra goes to the font's break character, the remainder to the first breaks.
void Justified(Canvas &c) {
  Prepare(c);
  Use font(c.dc, MakeFont("Arial", 16));
  TEXTMETRICA tm{};
  GetTextMetricsA(c.dc, &tm);
  c.Record("break character", tm.tmBreakChar);
  c.Record("default character", tm.tmDefaultChar);
  c.Record("first character", tm.tmFirstChar);
  SetTextJustification(c.dc, 12, 1);
  TextOutA(c.dc, 2, 2, "a lens, a mirror", 16);
  SetTextJustification(c.dc, 11, 3);
  RecordExtent(c, "justified", "Look! A lens! A mirror!");
  TextOutA(c.dc, 2, 22, "Look! A lens! A mirror!", 23);
  SetTextJustification(c.dc, 0, 0);
}

// Directions between and beyond the straight ones, each from the middle of its own cell.
void Directions(Canvas &c) {
  Prepare(c);
  const int escapements[8] = {2700, 300, 450, 1200, 1350, 2250, 3150, 10};
  for (int i = 0; i < 8; ++i) {
    Use font(c.dc, MakeFont(i % 2 ? "Times New Roman" : "Arial", 18, escapements[i]));
    SetBkMode(c.dc, i == 2 ? OPAQUE : TRANSPARENT);
    SetBkColor(c.dc, RGB(255, 255, 0));
    const int x = 60 + 120 * (i % 4), y = 60 + 120 * (i / 4);
    SetTextAlign(c.dc, TA_UPDATECP | (i == 4 ? TA_RIGHT : TA_LEFT) | (i == 5 ? TA_BASELINE : TA_TOP));
    WriteAtPosition(c, "direction " + std::to_string(escapements[i]), x, y, "Ray 4g");
  }
}

}  // namespace

void AddTextScenes(std::vector<Scene> &scenes) {
  for (int f = 0; f < 4; ++f) {
    std::string name = kFaces[f];
    for (char &ch : name)
      if (ch == ' ') ch = '-';
    scenes.push_back({"text/sizes-" + name, Format(360, 300, 8), [f](Canvas &c) { FaceSizes(c, kFaces[f], FW_NORMAL, false); }});
    scenes.push_back({"text/sizes-" + name + "-bold-italic", Format(360, 300, 8),
                      [f](Canvas &c) { FaceSizes(c, kFaces[f], FW_BOLD, true); }});
  }
  scenes.push_back({"text/align", Format(400, 260, 8), [](Canvas &c) { Alignments(c, 0); }});
  scenes.push_back({"text/align-upward", Format(560, 260, 8), [](Canvas &c) { Alignments(c, 900); }});
  scenes.push_back({"text/styles", Format(320, 160, 8), [](Canvas &c) { Styles(c, 0); }});
  scenes.push_back({"text/styles-upward", Format(320, 240, 8), [](Canvas &c) { Styles(c, 900); }});
  scenes.push_back({"text/spacing", Format(320, 200, 8), Spacing});
  scenes.push_back({"text/backgrounds", Format(240, 110, 8), Backgrounds});
  scenes.push_back({"text/backgrounds-32bit", Format(240, 110, 32), Backgrounds});
  scenes.push_back({"text/clip", Format(180, 120, 8), Clipped});
  scenes.push_back({"text/all-bytes", Format(420, 150, 8), AllBytes});
  for (int bits : {1, 4, 8, 32})
    scenes.push_back({"text/depth-" + std::to_string(bits), Format(120, 72, bits), Depths});
  scenes.push_back({"text/justified", Format(180, 44, 8), Justified});
  scenes.push_back({"text/directions", Format(480, 240, 8), Directions});
}

}  // namespace reference
