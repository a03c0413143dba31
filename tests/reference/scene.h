// A scene: a page of a given format and the drawing done on it. The renderer runs every scene
// and writes its pixels and recorded values; the two renderings are then compared.
#pragma once

#include <windows.h>

#include <cstdint>
#include <functional>
#include <string>
#include <utility>
#include <vector>

#include "page.h"

namespace reference {

struct Canvas {
  Page &page;
  HDC dc;
  std::vector<std::pair<std::string, uint32_t>> &values;

  // Keeps a result of a call (GetPixel, a returned colour or count) for the comparison.
  void Record(std::string label, uint32_t value) { values.emplace_back(std::move(label), value); }
};

// A page of the given size and depth; indexed pages may bring their colour table and palette.
inline PageFormat Format(int width, int height, int bits = 8, std::vector<RGBQUAD> table = {},
                         std::vector<PALETTEENTRY> palette = {}) {
  PageFormat f;
  f.width = width;
  f.height = height;
  f.bits = bits;
  f.table = std::move(table);
  f.palette = std::move(palette);
  return f;
}

struct Scene {
  std::string name;  // "group/what", the group naming the area it checks
  PageFormat format;
  std::function<void(Canvas &)> draw;
};

// Each file of scenes adds its own: lines, pens and mixes; pixels, colours, clipping and
// blits; rectangles, ellipses, arcs and polygons; wide pens and arcs in depth.
void AddLineScenes(std::vector<Scene> &scenes);
void AddPixelScenes(std::vector<Scene> &scenes);
void AddShapeScenes(std::vector<Scene> &scenes);
void AddStrokeScenes(std::vector<Scene> &scenes);

// A small generator that gives the same numbers on every compiler and system, for scenes of
// many arbitrary lines and shapes.
class Lcg {
 public:
  explicit Lcg(uint32_t seed) : state_(seed) {}
  // A number from lo to hi inclusive.
  int Next(int lo, int hi) {
    state_ = state_ * 1664525u + 1013904223u;
    return lo + static_cast<int>((state_ >> 8) % static_cast<uint32_t>(hi - lo + 1));
  }

 private:
  uint32_t state_;
};

// Selects a new object into a DC for the life of this value, then puts the old one back and
// deletes the new one.
class Use {
 public:
  Use(HDC dc, HGDIOBJ object) : dc_(dc), object_(object), old_(object ? SelectObject(dc, object) : nullptr) {}
  ~Use() {
    if (old_) SelectObject(dc_, old_);
    if (object_) DeleteObject(object_);
  }
  Use(const Use &) = delete;
  Use &operator=(const Use &) = delete;

 private:
  HDC dc_;
  HGDIOBJ object_;
  HGDIOBJ old_;
};

// Backgrounds written straight into the page's memory, so that mixes and transparent drawing
// have something to act on that no GDI call made.
void FillIndexRamp(Page &page);     // indexed: every index in turn; 32-bit: a colour gradient
void FillSolid(Page &page, uint32_t value);

// Distinct colours of the standard table's colour cube (never black or white), by number.
COLORREF CubeColor(int i);

HBRUSH SolidBrush(COLORREF color);
HBRUSH HatchBrush(int hatch, COLORREF color);
HBRUSH NullBrush();
HPEN Pen(int style, int width, COLORREF color);

// Lines from a-to-b through MoveToEx and LineTo.
void Line(HDC dc, int x1, int y1, int x2, int y2);

// The sixteen mixes by name, for scene names.
const char *Rop2Name(int rop2);
const char *PenStyleName(int style);
const char *HatchName(int hatch);

}  // namespace reference
