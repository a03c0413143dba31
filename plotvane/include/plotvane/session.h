// The one process-wide record of the library, and the entry points that the library's own
// files share. Programs include plotvane.h only; tests include this to look inside.
#pragma once

#ifndef NOMINMAX
#define NOMINMAX
#endif
#include <windows.h>

#include <array>
#include <atomic>
#include <cstdint>
#include <vector>

#include "plotvane/plotvane.h"

namespace plotvane {

// A routine with the shape of a window procedure, kept in a hook slot.
using MessageHook = LRESULT(CALLBACK *)(HWND, UINT, WPARAM, LPARAM);

struct ViewAreaRecord {
  int16_t X1 = 0, Y1 = 0, X2 = 0, Y2 = 0;
  bool Clip = false;
};

// Ring of key bytes, slots 1..32 (slot 0 unused), one slot kept free.
struct KeyQueueRecord {
  static constexpr int32_t Capacity = 32;
  uint8_t Slots[Capacity + 1] = {};
  std::atomic<int32_t> ReadIndex{1};
  std::atomic<int32_t> WriteIndex{1};
  CRITICAL_SECTION KeyQueueLock{};
  bool PairBegun = false;  // the reader has taken a 0 and not yet its code (under the lock)
};

// Ring of mouse events, entries 1..16 (entry 0 unused), one entry kept free.
struct MouseEventQueueRecord {
  static constexpr int32_t Capacity = 16;
  MouseEvent Entries[Capacity + 1] = {};
  std::atomic<int32_t> ReadIndex{1};
  std::atomic<int32_t> WriteIndex{1};
  CRITICAL_SECTION MouseQueueLock{};
};

// A face name of at most 31 characters, zero-terminated; empty means a free slot.
using FaceName = std::array<char, 32>;

struct GraphSession {
  // ---- session and window thread
  std::atomic<int16_t> GraphError{0};  // written by both threads
  std::atomic<bool> WindowOpen{false};  // the gate between the threads
  HWND WindowHandle = nullptr;          // stored in WM_CREATE, before WindowOpen is set
  HANDLE ThreadHandle = nullptr;
  std::atomic<DWORD> ProgramThreadId{0};  // the thread that opened the window, while its window thread runs
  char Caption[256] = {};
  int32_t ScreenWidth = 0, ScreenHeight = 0;
  int16_t Driver = -1, Mode = 0;
  int32_t OuterWidth = 0, OuterHeight = 0;
  uint32_t WindowStyle = 0;
  int32_t CustomWidth = 0, CustomHeight = 0;
  uint8_t ColorDepth = 0;
  std::atomic<bool> PaletteMode{false};  // cleared by the window thread as it ends
  uint16_t MaxColors = 0;
  uint16_t PaletteSize = 0;
  int32_t MaxX = 0, MaxY = 0;
  HDC WindowDC = nullptr;
  HDC PageDC = nullptr;
  HDC SpareDC = nullptr;
  HPALETTE SessionPalette = nullptr, InitialPalette = nullptr;
  HGDIOBJ InitialPen = nullptr, InitialBrush = nullptr, InitialFont = nullptr;
  HGDIOBJ InitialBitmap = nullptr;
  HPEN CurrentPen = nullptr;
  HBRUSH CurrentBrush = nullptr;
  HFONT CurrentFont = nullptr;
  HBITMAP PatternBitmap = nullptr;
  HBITMAP Pages[4] = {};
  std::vector<RGBQUAD> PageColorTable;
  std::atomic<uint16_t> ActivePage{0};  // read by the paint sequence
  std::atomic<uint16_t> ShownPage{0};   // set without the lock, read by the paint sequence
  bool DrawThrough = false;
  CRITICAL_SECTION SessionLock{};
  MessageHook KeyboardHookSlot = nullptr;
  MessageHook MouseHookSlot = nullptr;

  // ---- colours
  uint32_t BackColor = 0;
  uint32_t NamedColors[256] = {};

  // ---- view area, aspect
  ViewAreaRecord ViewArea;
  int16_t ViewWidth = 0, ViewHeight = 0;
  int32_t ViewOriginX = 0, ViewOriginY = 0;
  HRGN ClipRegion = nullptr;
  int32_t AspectX = 10000, AspectY = 10000;
  bool AspectNeutral = true;
  int32_t RasterMix = R2_COPYPEN;  // the mix SetRasterMode gave both device contexts

  // ---- OpenGL pair
  HGLRC WindowGLContext = nullptr;
  HGLRC PageGLContext = nullptr;
  bool GLAvailable = false;

  // ---- pen
  int32_t CursorX = 0, CursorY = 0;
  uint32_t DrawColor = 0;
  int16_t LineStyle = 0;
  uint16_t LinePattern = 0;
  uint16_t LineThickness = 1;
  int32_t PatternStep = 0;

  // ---- brush
  int16_t FillStyle = 0;
  uint32_t FillColor = 0;
  uint8_t UserPattern[8] = {};
  std::vector<POINT> PolygonBuffer;  // reused by FillPolygonShape

  // ---- text
  FaceName FontTable[15] = {};
  int32_t FontFound = 0;
  uint16_t FontNumber = 0;
  uint16_t TextDirection = 0;
  uint16_t TextSize = 0;
  int16_t TextJustifyH = 0, TextJustifyV = 0;

  // ---- input (filled on the window thread)
  KeyQueueRecord KeyQueue;
  MouseEventQueueRecord MouseEventQueue;
  std::atomic<uint16_t> LastButtons{0}, LastX{0}, LastY{0};
};

// The record; the library has started (graphics, then keyboard, then mouse) by the time it
// returns, whichever file asks first.
GraphSession &Session();

// ---- constants
extern const std::array<COLORREF, 256> StockPalette;
extern const std::array<COLORREF, 256> NamedColorDefaults;  // red in the low byte
extern const char *const StandardFaces[4];
inline constexpr const char *DefaultCaption = "Plotvane 1.1";
inline constexpr const char *WindowClassName = "PlotvaneClass";

// ---- start-up, in this order (they get the record because Session() is still being made)
void StartLibrary(GraphSession &s);
void StartKeyboard(GraphSession &s);
void StartMouse(GraphSession &s);
// At process exit on the program thread: closes a window left open. Returns false when another
// thread ends the process while the window thread runs: then nothing is touched, as the program
// thread may be drawing and the window thread painting until the process is gone.
bool ExitLibrary();

// ---- window thread
DWORD WINAPI WindowThread(LPVOID caption);
LRESULT CALLBACK GraphWindowProc(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam);
void CreateDrawPages();
void ApplySessionDefaults();

// Holds the platform's GDI lock across the GDI calls of one library operation when none of them
// draws on the window DC (`active`), so that each call re-enters it cheaply. Taken inside the
// SessionLock where both are held, the order the paint takes them in. Real GDI has no such
// lock: there it does nothing.
class PageBatch {
 public:
  explicit PageBatch(bool active);
  ~PageBatch();
  PageBatch(const PageBatch &) = delete;
  PageBatch &operator=(const PageBatch &) = delete;

 private:
  bool active_;
};

// Shared opening of every checking operation: GraphError 0, or -1 and false when closed.
bool CommonStart();
// Selects a new pen, brush or font into both DCs and deletes the one it replaces, unless that is
// the DCs' initial object. With the session lock held.
void SelectIntoBothDCs(HGDIOBJ object, HGDIOBJ initial);
// cos (sine false) or sin of `angle` degrees times `radius`, rounded half to even: where DrawArc
// puts its start and end rays.
int ArcRayOffset(uint16_t angle, uint16_t radius, bool sine);
void SetGraphError(int16_t code);

// ---- colours
void CreateSessionPalette();
void MatchNamedColors();
void ResetNamedColors();

// ---- text
void ProbeStandardFaces();

// ---- OpenGL pair
void CreateGLContexts();
void ReleaseGLContexts();

// ---- keyboard and mouse
LRESULT CALLBACK KeyboardHook(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam);
LRESULT CALLBACK MouseHook(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam);
void PushKeyByte(uint8_t b);
void PushExtendedKey(uint8_t code);
void TranslateVirtualKey(uint32_t vk);

// The bytes that a virtual key queues under the given modifiers: up to two extended pairs.
struct KeyCodeSequence {
  uint8_t Bytes[4] = {};
  uint8_t Count = 0;
};
KeyCodeSequence TranslateKeyCodes(uint32_t vk, bool shift, bool ctrl, bool alt);
void PushMouseEvent(uint16_t event, WPARAM wParam, LPARAM lParam);

}  // namespace plotvane
