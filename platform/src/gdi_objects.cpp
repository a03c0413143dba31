// The handle table, stock objects, DCs and the calls that select, query and delete objects.
#include <atomic>
#include <cstring>
#include <deque>
#include <thread>

#include "gdi_internal.h"
#include "pvgdibatch.h"
#include "wgl_internal.h"

namespace pv::gdi {
namespace {

// A handle is (generation << 16) | slot; slot 0 never exists, so no handle is NULL.
constexpr uint32_t kSlotBits = 16;
constexpr uint32_t kMaxSlots = (1u << kSlotBits) - 1;
constexpr uint32_t kGenerationMask = 0x7FFF;

struct Slot {
  std::unique_ptr<Object> object;
  uint32_t generation = 1;
};

struct Table {
  std::vector<Slot> slots{1};     // slot 0 unused
  std::deque<uint32_t> free;      // oldest first, so a slot is reused as late as possible
  Object *stock[16] = {};
  Bitmap *defaultBitmap = nullptr;
  Dc *screen = nullptr;
};

Table &table() {
  static Table t;
  return t;
}

uint32_t SlotOf(HGDIOBJ h) { return static_cast<uint32_t>(reinterpret_cast<uintptr_t>(h)) & kMaxSlots; }

Object *MakeStock(int index) {
  std::unique_ptr<Object> o;
  auto pen = [](UINT style, COLORREF c) {
    auto p = std::make_unique<Pen>();
    p->log.lopnStyle = style;
    p->log.lopnWidth.x = 1;
    p->log.lopnColor = c;
    return p;
  };
  auto brush = [](UINT style, COLORREF c) {
    auto b = std::make_unique<Brush>();
    b->log.lbStyle = style;
    b->log.lbColor = c;
    return b;
  };
  switch (index) {
    case WHITE_BRUSH: o = brush(BS_SOLID, RGB(255, 255, 255)); break;
    case 1: o = brush(BS_SOLID, RGB(192, 192, 192)); break;  // LTGRAY_BRUSH
    case 2: o = brush(BS_SOLID, RGB(128, 128, 128)); break;  // GRAY_BRUSH
    case 3: o = brush(BS_SOLID, RGB(64, 64, 64)); break;     // DKGRAY_BRUSH
    case BLACK_BRUSH: o = brush(BS_SOLID, RGB(0, 0, 0)); break;
    case NULL_BRUSH: o = brush(BS_NULL, 0); break;
    case WHITE_PEN: o = pen(PS_SOLID, RGB(255, 255, 255)); break;
    case BLACK_PEN: o = pen(PS_SOLID, RGB(0, 0, 0)); break;
    case NULL_PEN: o = pen(PS_NULL, 0); break;
    case SYSTEM_FONT: {
      auto f = std::make_unique<Font>();
      f->log.lfHeight = 16;
      f->log.lfWeight = FW_BOLD;
      f->log.lfCharSet = 0;  // ANSI_CHARSET
      std::strcpy(f->log.lfFaceName, "System");
      o = std::move(f);
      break;
    }
    case DEFAULT_PALETTE: {
      // The twenty static colours of the system palette.
      static const BYTE rgb[20][3] = {{0, 0, 0},       {128, 0, 0},     {0, 128, 0},     {128, 128, 0},
                                      {0, 0, 128},     {128, 0, 128},   {0, 128, 128},   {192, 192, 192},
                                      {192, 220, 192}, {166, 202, 240}, {255, 251, 240}, {160, 160, 164},
                                      {128, 128, 128}, {255, 0, 0},     {0, 255, 0},     {255, 255, 0},
                                      {0, 0, 255},     {255, 0, 255},   {0, 255, 255},   {255, 255, 255}};
      auto p = std::make_unique<Palette>();
      for (const auto &c : rgb) p->entries.push_back(PALETTEENTRY{c[0], c[1], c[2], 0});
      p->version = NextVersion();
      o = std::move(p);
      break;
    }
    default: return nullptr;
  }
  o->stock = true;
  Object *raw = o.get();
  Register(std::move(o));
  return raw;
}

// Drops one selection of `o`; an object deleted while selected goes with its last selection.
void Deselect(Object *o) {
  if (!o) return;
  --o->selections;
  if (o->kind == Kind::Bitmap) static_cast<Bitmap *>(o)->selectedIn = nullptr;
  if (o->deletePending && o->selections == 0) Unregister(o);
}

template <class T>
HGDIOBJ Swap(T *&slot, T *incoming) {
  T *old = slot;
  if (old == incoming) return incoming->handle;
  ++incoming->selections;
  slot = incoming;
  HGDIOBJ oldHandle = old ? old->handle : nullptr;
  Deselect(old);
  return oldHandle;
}

Dc *NewDc() {
  auto d = std::make_unique<Dc>();
  Dc *dc = d.get();
  Swap(dc->pen, static_cast<Pen *>(StockObject(BLACK_PEN)));
  Swap(dc->brush, static_cast<Brush *>(StockObject(WHITE_BRUSH)));
  Swap(dc->font, static_cast<Font *>(StockObject(SYSTEM_FONT)));
  Swap(dc->palette, static_cast<Palette *>(StockObject(DEFAULT_PALETTE)));
  Register(std::move(d));
  return dc;
}

void ReleaseDcObjects(Dc *dc) {
  Deselect(dc->pen);
  Deselect(dc->brush);
  Deselect(dc->font);
  Deselect(dc->palette);
  Deselect(dc->bitmap);
  dc->pen = nullptr;
  dc->brush = nullptr;
  dc->font = nullptr;
  dc->palette = nullptr;
  dc->bitmap = nullptr;
}

}  // namespace

std::recursive_mutex &GdiLock() {
  static std::recursive_mutex m;
  return m;
}

}  // namespace pv::gdi

void pvplatform::BeginGdiBatch() { pv::gdi::GdiLock().lock(); }
void pvplatform::EndGdiBatch() { pv::gdi::GdiLock().unlock(); }

namespace pv::gdi {

uint32_t NextVersion() {
  static std::atomic<uint32_t> next{1};
  return next.fetch_add(1, std::memory_order_relaxed);
}

HGDIOBJ Register(std::unique_ptr<Object> object) {
  Table &t = table();
  uint32_t slot;
  if (!t.free.empty() && (t.free.size() > 256 || t.slots.size() > kMaxSlots)) {
    slot = t.free.front();
    t.free.pop_front();
  } else if (t.slots.size() <= kMaxSlots) {
    slot = static_cast<uint32_t>(t.slots.size());
    t.slots.emplace_back();
  } else {
    return nullptr;  // table full, as Windows runs out of GDI handles
  }
  Slot &s = t.slots[slot];
  auto value = static_cast<uintptr_t>((s.generation << kSlotBits) | slot);
  object->handle = reinterpret_cast<HGDIOBJ>(value);
  s.object = std::move(object);
  return s.object->handle;
}

Object *Find(HGDIOBJ handle) {
  Table &t = table();
  uint32_t slot = SlotOf(handle);
  if (slot == 0 || slot >= t.slots.size()) return nullptr;
  Object *o = t.slots[slot].object.get();
  return o && o->handle == handle ? o : nullptr;
}

void Unregister(Object *object) {
  Table &t = table();
  uint32_t slot = SlotOf(object->handle);
  Slot &s = t.slots[slot];
  s.object.reset();
  s.generation = (s.generation & kGenerationMask) + 1;
  t.free.push_back(slot);
}

Object *StockObject(int index) {
  Table &t = table();
  if (index < 0 || index >= 16) return nullptr;
  if (!t.stock[index]) t.stock[index] = MakeStock(index);
  return t.stock[index];
}

Bitmap *DefaultBitmap() {
  Table &t = table();
  if (!t.defaultBitmap) {
    auto b = std::make_unique<Bitmap>();
    b->width = b->height = 1;
    b->bpp = 1;
    b->stride = 4;
    b->storage = std::make_unique<uint32_t[]>(1);
    b->bits = reinterpret_cast<uint8_t *>(b->storage.get());
    b->table = {RGBQUAD{0, 0, 0, 0}, RGBQUAD{255, 255, 255, 0}};
    b->tableVersion = NextVersion();
    b->stock = true;
    t.defaultBitmap = b.get();
    Register(std::move(b));
  }
  return t.defaultBitmap;
}

void CountLiveObjects(int &objects, int &dcs) {
  GdiGuard lock(GdiLock());
  objects = dcs = 0;
  for (const Slot &s : table().slots) {
    const Object *o = s.object.get();
    if (!o || o->stock) continue;
    if (o->kind == Kind::Dc)
      ++dcs;
    else
      ++objects;
  }
}

HDC ScreenDC() {
  GdiGuard lock(GdiLock());
  Table &t = table();
  if (!t.screen) {
    t.screen = NewDc();
    t.screen->memory = false;
    t.screen->screen = true;
    t.screen->stock = true;
  }
  return static_cast<HDC>(t.screen->handle);
}

HDC CreateSurfaceDC(WindowSurface *surface) {
  if (!surface) return nullptr;
  GdiGuard lock(GdiLock());
  Dc *dc = NewDc();
  dc->memory = false;
  dc->surface = surface;
  dc->surfaceVersion = NextVersion();
  return static_cast<HDC>(dc->handle);
}

void DestroySurfaceDC(HDC hdc) {
  std::unique_lock<std::recursive_mutex> lock(GdiLock());
  Dc *dc = FindDc(hdc);
  if (!dc || !dc->surface) return;
  // A drawing call may be reporting a change to this surface right now; let it finish
  // before the surface can go away.
  while (dc->notifying > 0) {
    lock.unlock();
    std::this_thread::yield();
    lock.lock();
  }
  ReleaseDcObjects(dc);
  Unregister(dc);
}

void SurfaceResized(HDC hdc) {
  GdiGuard lock(GdiLock());
  if (Dc *dc = FindDc(hdc); dc && dc->surface) dc->surfaceVersion = NextVersion();
}

}  // namespace pv::gdi

using namespace pv::gdi;

extern "C" {

HDC WINAPI CreateCompatibleDC(HDC reference) {
  GdiGuard lock(GdiLock());
  if (reference && !FindDc(reference)) return nullptr;
  Dc *dc = NewDc();
  Swap(dc->bitmap, DefaultBitmap());
  return static_cast<HDC>(dc->handle);
}

BOOL WINAPI DeleteDC(HDC hdc) {
  GdiGuard lock(GdiLock());
  Dc *dc = FindDc(hdc);
  // Window and screen DCs belong to their windows.
  if (!dc || !dc->memory) return FALSE;
  ReleaseDcObjects(dc);
  Unregister(dc);
  return TRUE;
}

HGDIOBJ WINAPI GetCurrentObject(HDC hdc, UINT type) {
  GdiGuard lock(GdiLock());
  Dc *dc = FindDc(hdc);
  if (!dc) return nullptr;
  Object *o = nullptr;
  switch (type) {
    case OBJ_PEN: o = dc->pen; break;
    case OBJ_BRUSH: o = dc->brush; break;
    case OBJ_FONT: o = dc->font; break;
    case OBJ_PAL: o = dc->palette; break;
    case OBJ_BITMAP: o = dc->bitmap; break;
    default: break;
  }
  return o ? o->handle : nullptr;
}

HGDIOBJ WINAPI SelectObject(HDC hdc, HGDIOBJ object) {
  GdiGuard lock(GdiLock());
  Dc *dc = FindDc(hdc);
  Object *o = Find(object);
  if (!dc || !o || o->deletePending) return nullptr;
  switch (o->kind) {
    case Kind::Pen: return Swap(dc->pen, static_cast<Pen *>(o));
    case Kind::Brush: return Swap(dc->brush, static_cast<Brush *>(o));
    case Kind::Font: return Swap(dc->font, static_cast<Font *>(o));
    case Kind::Region: {
      int type = SelectClipRgn(hdc, static_cast<HRGN>(object));
      return type == ERROR ? HGDI_ERROR : reinterpret_cast<HGDIOBJ>(static_cast<intptr_t>(type));
    }
    case Kind::Bitmap: {
      auto *b = static_cast<Bitmap *>(o);
      if (!dc->memory) return nullptr;
      // One DC at a time, except the stock bitmap that every memory DC starts with.
      if (b->selectedIn && b->selectedIn != dc) return nullptr;
      HGDIOBJ old = Swap(dc->bitmap, b);
      if (!b->stock) b->selectedIn = dc;
      return old;
    }
    default: return nullptr;  // palettes go through SelectPalette; DCs are not selectable
  }
}

BOOL WINAPI DeleteObject(HGDIOBJ object) {
  GdiGuard lock(GdiLock());
  Object *o = Find(object);
  if (!o || o->kind == Kind::Dc) return FALSE;
  if (o->stock) return TRUE;
  if (o->selections > 0) {
    o->deletePending = true;
    return TRUE;
  }
  Unregister(o);
  return TRUE;
}

DWORD WINAPI GetObjectType(HGDIOBJ object) {
  GdiGuard lock(GdiLock());
  Object *o = Find(object);
  if (!o) return 0;
  switch (o->kind) {
    case Kind::Dc: return static_cast<Dc *>(o)->memory ? OBJ_MEMDC : OBJ_DC;
    case Kind::Bitmap: return OBJ_BITMAP;
    case Kind::Palette: return OBJ_PAL;
    case Kind::Pen: return OBJ_PEN;
    case Kind::Brush: return OBJ_BRUSH;
    case Kind::Font: return OBJ_FONT;
    case Kind::Region: return OBJ_REGION;
  }
  return 0;
}

int WINAPI GetObjectA(HGDIOBJ object, int size, LPVOID buffer) {
  GdiGuard lock(GdiLock());
  Object *o = Find(object);
  if (!o || size < 0) return 0;
  auto give = [&](const void *data, int full) {
    if (!buffer) return full;
    int n = size < full ? size : full;
    std::memcpy(buffer, data, static_cast<size_t>(n));
    return n;
  };
  switch (o->kind) {
    case Kind::Bitmap: {
      auto *b = static_cast<Bitmap *>(o);
      BITMAP bm{};
      bm.bmWidth = b->width;
      bm.bmHeight = b->height;
      // Device-dependent bitmaps report rows padded to 16 bits and no bits pointer.
      bm.bmWidthBytes = b->dib ? b->stride : ((b->width * b->bpp + 15) / 16) * 2;
      bm.bmPlanes = 1;
      bm.bmBitsPixel = static_cast<WORD>(b->bpp);
      bm.bmBits = b->dib ? b->bits : nullptr;
      return give(&bm, sizeof bm);
    }
    case Kind::Pen: return give(&static_cast<Pen *>(o)->log, sizeof(LOGPEN));
    case Kind::Brush: return give(&static_cast<Brush *>(o)->log, sizeof(LOGBRUSH));
    case Kind::Font: return give(&static_cast<Font *>(o)->log, sizeof(LOGFONTA));
    case Kind::Palette: {
      WORD count = static_cast<WORD>(static_cast<Palette *>(o)->entries.size());
      return give(&count, sizeof count);
    }
    default: return 0;
  }
}

HGDIOBJ WINAPI GetStockObject(int index) {
  GdiGuard lock(GdiLock());
  Object *o = StockObject(index);
  return o ? o->handle : nullptr;
}

// Drawing is never batched here; this is where a palette bitmap meets the OpenGL context
// drawing on it.
BOOL WINAPI GdiFlush(void) {
  pv::wgl::MeetShadowedBitmap();
  return TRUE;
}

int WINAPI GetDeviceCaps(HDC hdc, int index) {
  {
    GdiGuard lock(GdiLock());
    if (!FindDc(hdc)) return 0;
  }
  // As on Windows, every DC answers for the display device it belongs to (a 32-bit, true
  // colour screen), not for the bitmap selected into it.
  switch (index) {
    case BITSPIXEL: return 32;
    case PLANES: return 1;
    case NUMCOLORS: return -1;
    case SIZEPALETTE: return 0;
    case RASTERCAPS: return 0xBE99;
    // Asked of USER outside the GDI lock: USER may call GDI under its own locks.
    case HORZRES: return GetSystemMetrics(SM_CXSCREEN);
    case VERTRES: return GetSystemMetrics(SM_CYSCREEN);
    default: return 0;
  }
}

}  // extern "C"
