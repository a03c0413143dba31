// Plotvane: an immediate-mode drawing library on one desktop window.
//
// A program opens the window, draws on one of four off-screen pages with the current pen and
// brush, shows a finished page, and reads keys and the mouse from queues that the library's own
// window thread fills. Every operation reports through GraphError(): 0 for success, negative
// codes for failures (see GraphErrorCode). Nothing here throws.
//
// Each operation, its arguments, what it does and its error codes: docs/reference.md (installed
// as share/doc/plotvane/reference.md). The comments here are only reminders.
#pragma once

#include <cstdint>
#include <string_view>

// The installed shared library exports these names and no others.
#if defined(__GNUC__) && !defined(_WIN32)
#pragma GCC visibility push(default)
#endif

namespace plotvane {

// ---- Errors ------------------------------------------------------------------------------
enum GraphErrorCode : int16_t {
  grOk = 0,
  grNotOpen = -1,         // the window is not open
  grInvalidDriver = -2,   // unknown driver number
  grInvalidMode = -3,     // unknown mode, or the client area does not fit on the screen
  grNoWindow = -4,        // the platform could not make the window, or an object an operation needs
  grFontMissing = -5,     // a font face is not installed (or the font table is full)
  grFontSlotEmpty = -6,   // the font number names an empty slot
  grOutOfRange = -7,      // an argument is out of range
  grNotPaletteMode = -8,  // a palette operation outside palette mode
  grNoOpenGL = -9,        // the OpenGL contexts are not available
  grAlreadyOpen = -10,    // the window is already open
};

// The code left by the last checking operation.
int16_t GraphError();

// ---- Session and window ------------------------------------------------------------------
// driver: 0 (ask the system), 1, 2, 3 (1, 4, 8 bits per pixel with a palette) or 9 (the
// desktop's depth, RGB colours); mode: 1 to 8 fixed sizes, 10 system default, 11 screen minus
// frame, 12 whole screen, 13 custom size. Driver 0 writes the chosen numbers back.
void OpenGraphWindow(int16_t &driver, int16_t &mode, std::string_view caption);
void CloseGraphWindow();
bool GraphActive();
void QueryGraphMode(int16_t &driver, int16_t &mode);
int16_t ScreenMaxX();
int16_t ScreenMaxY();
void SetDrawPage(uint16_t page);
void SetShowPage(uint16_t page);

// ---- Colours and palettes ----------------------------------------------------------------
// A colour number is a palette index in palette mode, otherwise an RGB value 0x00BBGGRR.
struct PaletteRecord {
  uint16_t Size = 0;
  uint32_t Colors[256] = {};
};

// Named colours that the demonstrations use, by index into NamedColors.
enum NamedColorIndex : uint8_t {
  ncBlack = 12,
  ncGrey = 127,
  ncRed = 207,
  ncWhite = 250,
  ncYellow = 253,
};

// The current colour number of named colour `index` (nearest palette entry in palette mode).
uint32_t NamedColor(uint8_t index);
uint32_t MapColor(uint32_t color);
void ReadStockPalette(PaletteRecord &rec);
void InstallPalette(const PaletteRecord &rec);
void SetBackColor(uint32_t color);

// ---- View area, raster modes, clearing ---------------------------------------------------
void SetViewArea(int16_t x1, int16_t y1, int16_t x2, int16_t y2, bool clip);
void SetRasterMode(int16_t mode);
void SetAspect(uint16_t xasp, uint16_t yasp);
void ClearViewArea();
void ClearScreen();

// ---- OpenGL ------------------------------------------------------------------------------
void UseGLContext(bool toWindow);
// Brings what OpenGL has drawn (after glFinish) into the active page, between the library's
// drawing operations.
void FlushGLDrawing();

// ---- Pixels, lines and the pen -----------------------------------------------------------
void MoveCursor(int16_t x, int16_t y);
void DrawLineTo(int16_t x, int16_t y);
void DrawLine(int16_t x1, int16_t y1, int16_t x2, int16_t y2);
void PlotPixel(int16_t x, int16_t y, uint32_t color);
// style: 0 solid, 1 dotted, 2 dash-dot, 3 dashed, 4 dash-dot-dot, 5 user pattern, 6 none.
void SetPenStyle(int16_t style, uint16_t pattern, uint16_t thickness);
void SetDrawColor(uint32_t color);

// ---- Shapes and the brush ----------------------------------------------------------------
struct PolygonPoint {
  int32_t x;
  int32_t y;
};

// style: 0 background, 1 solid, 2 to 7 hatchings, 8 user pattern, 9 hollow.
void SetFillKind(int16_t style, uint32_t color);
void SetFillPattern(const uint8_t pattern[8], uint32_t color);
void FillBox(int16_t x1, int16_t y1, int16_t x2, int16_t y2);
void DrawEllipse(int16_t x, int16_t y, uint16_t xRadius, uint16_t yRadius);
void FillPolygonShape(uint16_t count, const PolygonPoint *points);
void DrawArc(int16_t x, int16_t y, uint16_t startAngle, uint16_t endAngle, uint16_t xRadius, uint16_t yRadius);
void DrawCircle(int16_t x, int16_t y, uint16_t radius);

// ---- Text state --------------------------------------------------------------------------
int16_t InstallFontFace(std::string_view name);
void SetTextFont(uint16_t font, uint16_t direction, uint16_t size);
void SetTextAlignment(int16_t horizontal, int16_t vertical);
void SetTextSpacing(uint16_t extra, uint16_t breakExtra, uint16_t unused1, uint16_t unused2);

// ---- Text --------------------------------------------------------------------------------
// Each byte is one Windows-1252 character; texts longer than 32767 characters are refused (-7).
// OutText writes at the current position and moves it past the text (as the justification
// says); OutTextXY writes at (x, y) and leaves the current position alone.
void OutText(std::string_view text);
void OutTextXY(int16_t x, int16_t y, std::string_view text);
// The size in pixels that the text takes with the current font and spacing.
int32_t TextWidth(std::string_view text);
int32_t TextHeight(std::string_view text);

// ---- Keyboard ----------------------------------------------------------------------------
// Characters arrive as one byte; keys without a character as the pair 0, code.
bool KeyWaiting();
uint8_t NextKey();
void WaitMillis(uint16_t ms);

// ---- Mouse -------------------------------------------------------------------------------
enum MouseEventKind : uint16_t { meButtonDown = 1, meButtonUp = 2, meMove = 3, meWheel = 4 };
enum MouseButtonFlag : uint16_t { mbLeft = 1, mbRight = 2, mbMiddle = 4, mbShift = 8, mbCtrl = 16 };

struct MouseEvent {
  uint16_t Event;
  uint16_t Buttons;
  uint16_t X;
  uint16_t Y;
  int16_t Wheel;
};

uint16_t MouseX();
uint16_t MouseY();
uint16_t MouseButtons();
// Takes the oldest queued mouse event; false when none is waiting.
bool NextMouseEvent(MouseEvent &event);

}  // namespace plotvane

#if defined(__GNUC__) && !defined(_WIN32)
#pragma GCC visibility pop
#endif
