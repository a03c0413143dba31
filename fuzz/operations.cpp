// The decoder of random programs. Each operation takes one byte to choose it and then its
// arguments; arguments come mostly from ranges near the window, with a tag bit that asks for
// any value of the type instead, so that both drawing and refusal paths are reached.
#include "operations.h"

#include <plotvane/session.h>
#include <pvplatform.h>

#include <cstdlib>
#include <string_view>
#include <vector>

namespace pvfuzz {

namespace {

using namespace plotvane;

// Reads arguments from the input; zeros once it is used up.
class ByteReader {
 public:
  ByteReader(const uint8_t *data, size_t size) : data_(data), size_(size) {}

  bool Empty() const { return pos_ >= size_; }
  uint8_t U8() { return pos_ < size_ ? data_[pos_++] : 0; }
  uint16_t U16() { return static_cast<uint16_t>(U8() | U8() << 8); }
  uint32_t U32() { return static_cast<uint32_t>(U16()) | static_cast<uint32_t>(U16()) << 16; }
  int16_t I16() { return static_cast<int16_t>(U16()); }
  bool Bool() { return U8() & 1; }

  // A window coordinate from -64 to 952, or any 16-bit value.
  int16_t Coord() {
    const uint8_t t = U8();
    return t & 0x80 ? I16() : static_cast<int16_t>((t & 0x7F) * 8 - 64);
  }
  // A polygon corner: as Coord, or any 32-bit value.
  int32_t Corner() {
    const uint8_t t = U8();
    return t & 0x80 ? static_cast<int32_t>(U32()) : (t & 0x7F) * 8 - 64;
  }
  // A radius or thickness up to 508, or any 16-bit value.
  uint16_t Extent() {
    const uint8_t t = U8();
    return t & 0x80 ? U16() : static_cast<uint16_t>((t & 0x7F) * 4);
  }
  // A style or mode number from -8 to 119, or any 16-bit value.
  int16_t Small() {
    const uint8_t t = U8();
    return t & 0x80 ? I16() : static_cast<int16_t>(t - 8);
  }
  // A named colour's current value, a low colour number, or any 32-bit value.
  uint32_t Color() {
    const uint8_t t = U8();
    if (t < 0x80) return NamedColor(U8());
    if (t < 0xC0) return t - 0x80u;
    return U32();
  }
  std::string Text(size_t length) {
    std::string s(length, '\0');
    for (char &c : s) c = static_cast<char>(U8());
    return s;
  }

 private:
  const uint8_t *data_;
  size_t size_;
  size_t pos_ = 0;
};

// Messages a window gets from the keyboard and mouse, and a few that only the window system
// sends; never WM_USER or WM_DESTROY, which only the library itself may send.
constexpr UINT PostedMessages[] = {
    WM_KEYDOWN,     WM_KEYUP,       WM_CHAR,     WM_SYSKEYDOWN, WM_SYSKEYUP,   WM_SYSCHAR,
    WM_CLOSE,       WM_MOUSEMOVE,   WM_LBUTTONDOWN, WM_LBUTTONUP, WM_RBUTTONDOWN, WM_RBUTTONUP,
    WM_MBUTTONDOWN, WM_MBUTTONUP,   WM_MOUSEWHEEL, WM_PAINT,     WM_ERASEBKGND, WM_NULL,
};

constexpr int16_t Drivers[] = {3, 9, 1, 2, 0, 4, -1};
constexpr int16_t Modes[] = {6, 1, 4, 7, 8, 10, 11, 12, 13, 9, 14, 0, 2, 3, 5};

enum Op : uint8_t {
  kOpen, kClose, kDrawPage, kShowPage, kFrame, kPalette, kBackColor, kViewArea, kRasterMode,
  kAspect, kClearView, kClearScreen, kGLContext, kMoveCursor, kLineTo, kLine, kPixel, kPenStyle,
  kDrawColor, kFillKind, kFillPattern, kFillBox, kEllipse, kPolygon, kArc, kCircle, kFontFace,
  kTextFont, kTextAlign, kTextSpacing, kKeys, kWait, kQueries, kPost, kInvalidate, kText, kOpCount
};

void Open(ByteReader &in) {
  const uint8_t d = in.U8(), m = in.U8();
  // Mostly numbers from the tables (valid or near it), sometimes any 16-bit value.
  int16_t driver = d < std::size(Drivers) * 32 ? Drivers[d % std::size(Drivers)] : in.I16();
  int16_t mode = m < std::size(Modes) * 16 ? Modes[m % std::size(Modes)] : in.I16();
  // Captions up to 510 bytes, beyond what the session keeps, with any byte in them.
  const std::string caption = in.Text(in.U8() * 2u);
  OpenGraphWindow(driver, mode, caption);
}

void Palette(ByteReader &in) {
  PaletteRecord rec;
  ReadStockPalette(rec);
  const uint8_t changes = in.U8() % 16;
  for (uint8_t i = 0; i < changes; ++i) rec.Colors[in.U8()] = in.U32();
  const uint8_t form = in.U8();
  if (form & 1) rec.Size = form & 2 ? in.U16() : in.U8();
  InstallPalette(rec);
}

void Polygon(ByteReader &in) {
  const uint8_t form = in.U8();
  std::vector<PolygonPoint> points;
  if (form >= 0xFE) {  // no corners at all
    FillPolygonShape(in.U16(), nullptr);
    return;
  }
  if (form >= 0xF0) {  // many corners, repeating a few; more would only time the raster
    const uint16_t count = in.U16() % (Session().LineThickness > 1 ? 65 : 4097);
    PolygonPoint few[8];
    for (auto &p : few) p = {in.Corner(), in.Corner()};
    points.resize(count);
    for (uint16_t i = 0; i < count; ++i) points[i] = few[i % 8];
  } else {
    points.resize(form % 48);
    for (auto &p : points) p = {in.Corner(), in.Corner()};
  }
  FillPolygonShape(static_cast<uint16_t>(points.size()), points.data());
}

void FontFace(ByteReader &in) {
  const uint8_t form = in.U8();
  if (form % 8 < 4) {
    InstallFontFace(StandardFaces[form % 8]);
  } else if (form % 8 == 4) {
    InstallFontFace(std::string(40, 'A'));  // longer than a slot holds
  } else {
    InstallFontFace(in.Text(in.U8() % 40));
  }
}

void Keys(ByteReader &in) {
  // NextKey waits for a key while the window is open; ask only for what is there.
  const uint8_t n = in.U8() % 40;
  for (uint8_t i = 0; i < n && (KeyWaiting() || !GraphActive()); ++i) NextKey();
}

void Queries(ByteReader &in) {
  volatile uint32_t sink = MouseX() + MouseY() + MouseButtons();
  MouseEvent e;
  for (int i = 0; i < 20 && NextMouseEvent(e); ++i) sink = sink + e.X;
  int16_t driver = 0, mode = 0;
  QueryGraphMode(driver, mode);
  sink = sink + MapColor(in.Color()) + ScreenMaxX() + ScreenMaxY() + GraphActive() + KeyWaiting();
  (void)sink;
}

// Text of any bytes, now and then one past the longest accepted; written at the current
// position or at a point, or measured.
void Text(ByteReader &in) {
  const uint8_t kind = in.U8();
  const std::string text = kind == 0xFF ? std::string(32768, 'W') : in.Text(in.U8() % 48);
  switch (kind % 4) {
    case 0: OutText(text); break;
    case 1: {
      const int16_t x = in.Coord(), y = in.Coord();
      OutTextXY(x, y, text);
      break;
    }
    case 2: {
      volatile int32_t sink = TextWidth(text) + TextHeight(text);
      (void)sink;
      break;
    }
    default: {
      // No terminator after the text: a read past its length is a heap overflow.
      const std::vector<char> exact(text.begin(), text.end());
      OutText(std::string_view(exact.data(), exact.size()));
      break;
    }
  }
}

void Post(ByteReader &in) {
  // Posted while closed as well: the handle of a window that has gone must be harmless. Before
  // the first open there is no handle, and a null one would make it a message to this thread.
  const HWND window = Session().WindowHandle;
  if (!window) return;
  const UINT msg = PostedMessages[in.U8() % std::size(PostedMessages)];
  const WPARAM wParam = in.Bool() ? in.U32() : in.U8();
  const LPARAM lParam = static_cast<LPARAM>(in.U32());
  const int repeat = in.U8() % 32 + 1;
  for (int i = 0; i < repeat; ++i) PostMessageA(window, msg, wParam, lParam + i);
}

void Invalidate(ByteReader &in) {
  const HWND window = Session().WindowHandle;
  if (in.Bool()) {
    RECT r{in.Coord(), in.Coord(), in.Coord(), in.Coord()};
    InvalidateRect(window, &r, in.Bool());
  } else {
    InvalidateRect(window, nullptr, FALSE);
  }
}

// A wide outline costs its visible rows times its outline points, so a huge radius with a wide
// pen takes seconds per call; such shapes get radii up to 255 and leave the rest to thin pens.
// Polygons with a wide pen are held to 64 corners for the same reason.
uint16_t OutlineRadius(ByteReader &in) {
  const uint16_t r = in.Extent();
  return Session().LineThickness > 1 ? r % 256 : r;
}

void RunOne(Op op, ByteReader &in) {
  switch (op) {
    case kOpen: Open(in); break;
    case kClose: CloseGraphWindow(); break;
    case kDrawPage: SetDrawPage(in.U8() < 0xF0 ? in.U8() % 5 : in.U16()); break;
    case kShowPage: SetShowPage(in.U8() < 0xF0 ? in.U8() % 5 : in.U16()); break;
    case kFrame: {  // the programs' double buffering
      const uint16_t p = in.U8() & 1;
      SetDrawPage(p);
      SetShowPage(1 - p);
      ClearScreen();
      break;
    }
    case kPalette: Palette(in); break;
    case kBackColor: SetBackColor(in.Color()); break;
    case kViewArea: {
      const int16_t x1 = in.Coord(), y1 = in.Coord(), x2 = in.Coord(), y2 = in.Coord();
      SetViewArea(x1, y1, x2, y2, in.Bool());
      break;
    }
    case kRasterMode: SetRasterMode(in.Small()); break;
    case kAspect: {
      const uint16_t x = in.Bool() ? in.U16() : 10000, y = in.Bool() ? in.U16() : 10000;
      SetAspect(x, y);
      break;
    }
    case kClearView: ClearViewArea(); break;
    case kClearScreen: ClearScreen(); break;
    case kGLContext: UseGLContext(in.Bool()); break;
    case kMoveCursor: {
      const int16_t x = in.Coord(), y = in.Coord();
      MoveCursor(x, y);
      break;
    }
    case kLineTo: {
      const int16_t x = in.Coord(), y = in.Coord();
      DrawLineTo(x, y);
      break;
    }
    case kLine: {
      const int16_t x1 = in.Coord(), y1 = in.Coord(), x2 = in.Coord(), y2 = in.Coord();
      DrawLine(x1, y1, x2, y2);
      break;
    }
    case kPixel: {
      const int16_t x = in.Coord(), y = in.Coord();
      PlotPixel(x, y, in.Color());
      break;
    }
    case kPenStyle: {
      const int16_t style = in.Small();
      const uint16_t pattern = in.U16();
      SetPenStyle(style, pattern, in.Extent());
      break;
    }
    case kDrawColor: SetDrawColor(in.Color()); break;
    case kFillKind: {
      const int16_t style = in.Small();
      SetFillKind(style, in.Color());
      break;
    }
    case kFillPattern: {
      uint8_t rows[8];
      for (uint8_t &r : rows) r = in.U8();
      const bool none = in.U8() == 0xFF;
      SetFillPattern(none ? nullptr : rows, in.Color());
      break;
    }
    case kFillBox: {
      const int16_t x1 = in.Coord(), y1 = in.Coord(), x2 = in.Coord(), y2 = in.Coord();
      FillBox(x1, y1, x2, y2);
      break;
    }
    case kEllipse: {
      const int16_t x = in.Coord(), y = in.Coord();
      const uint16_t rx = OutlineRadius(in), ry = OutlineRadius(in);
      DrawEllipse(x, y, rx, ry);
      break;
    }
    case kPolygon: Polygon(in); break;
    case kArc: {
      const int16_t x = in.Coord(), y = in.Coord();
      const uint16_t a = in.Bool() ? in.U16() : in.U8() * 3u, b = in.Bool() ? in.U16() : in.U8() * 3u;
      const uint16_t rx = OutlineRadius(in), ry = OutlineRadius(in);
      DrawArc(x, y, a, b, rx, ry);
      break;
    }
    case kCircle: {
      const int16_t x = in.Coord(), y = in.Coord();
      DrawCircle(x, y, OutlineRadius(in));
      break;
    }
    case kFontFace: FontFace(in); break;
    case kTextFont: {
      const uint16_t font = in.U16(), direction = in.U16();
      SetTextFont(font, direction, in.U16());
      break;
    }
    case kTextAlign: {
      const int16_t h = in.Small(), v = in.Small();
      SetTextAlignment(h, v);
      break;
    }
    case kTextSpacing: {
      const uint16_t a = in.U16(), b = in.U16(), c = in.U16(), d = in.U16();
      SetTextSpacing(a, b, c, d);
      break;
    }
    case kKeys: Keys(in); break;
    case kWait: WaitMillis(in.U8() % 3); break;
    case kQueries: Queries(in); break;
    case kPost: Post(in); break;
    case kInvalidate: Invalidate(in); break;
    case kText: Text(in); break;
    case kOpCount: break;
  }
}

// What must hold after every operation; null when it does.
const char *CheckSession() {
  const GraphSession &s = Session();
  const int16_t e = GraphError();
  if (e > 0 || e < grAlreadyOpen) return "GraphError outside its codes";
  const int32_t kr = s.KeyQueue.ReadIndex, kw = s.KeyQueue.WriteIndex;
  if (kr < 1 || kr > KeyQueueRecord::Capacity || kw < 1 || kw > KeyQueueRecord::Capacity)
    return "key queue index outside its ring";
  const int32_t mr = s.MouseEventQueue.ReadIndex, mw = s.MouseEventQueue.WriteIndex;
  if (mr < 1 || mr > MouseEventQueueRecord::Capacity || mw < 1 || mw > MouseEventQueueRecord::Capacity)
    return "mouse queue index outside its ring";
  if (s.WindowOpen && (s.ActivePage > 3 || s.ShownPage > 3)) return "page number out of range";
  if (s.WindowOpen && s.PaletteMode && s.PaletteSize > s.MaxColors) return "palette larger than its table";
  return nullptr;
}

pvplatform::LiveCounts g_baseline;

std::string Describe(const pvplatform::LiveCounts &c) {
  return std::to_string(c.gdiObjects) + " objects, " + std::to_string(c.dcs) + " DCs, " +
         std::to_string(c.windows) + " windows, " + std::to_string(c.threads) + " threads";
}

}  // namespace

void Prepare() {
  setenv("PLOTVANE_HOST", "headless", 1);
  pvplatform::SetHostKind(pvplatform::HostKind::Headless);
  // Each kind of page once, so that what the platform makes on first use is there already.
  for (int16_t d : {3, 9, 1, 2}) {
    int16_t driver = d, mode = 6;
    OpenGraphWindow(driver, mode, "Plotvane fuzz");
    if (GraphActive()) CloseGraphWindow();
  }
  g_baseline = pvplatform::CountLive();
}

std::string RunProgram(const uint8_t *data, size_t size) {
  ByteReader in(data, size);
  for (int step = 0; !in.Empty(); ++step) {
    const Op op = static_cast<Op>(in.U8() % kOpCount);
    RunOne(op, in);
    if (const char *what = CheckSession()) {
      const std::string finding = std::string(what) + " (GraphError " + std::to_string(GraphError()) +
                                  ") after step " + std::to_string(step) + ", operation " + std::to_string(op);
      if (GraphActive()) CloseGraphWindow();
      return finding;
    }
  }
  if (GraphActive()) CloseGraphWindow();
  if (GraphActive() || Session().ThreadHandle) return "the window did not close";
  const pvplatform::LiveCounts now = pvplatform::CountLive();
  if (now.gdiObjects != g_baseline.gdiObjects || now.dcs != g_baseline.dcs || now.windows != g_baseline.windows ||
      now.threads != g_baseline.threads)
    return "left behind: " + Describe(now) + " where there were " + Describe(g_baseline);
  return {};
}

}  // namespace pvfuzz
