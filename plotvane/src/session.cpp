// The session record, the library's start-up in its fixed order, and the error code.
#include "plotvane/session.h"

#ifndef _WIN32
#include "pvgdibatch.h"
#endif

namespace plotvane {

namespace {

GraphSession &StartedRecord() {
  // Never destroyed: a thread other than the program's may end the process while the program
  // thread still draws, and nothing may be taken from under it.
  static GraphSession &record = *new GraphSession;
  // The hook slots are emptied by the library start and then filled by the input parts, so
  // the order is fixed here rather than left to the order of static initialisation.
  StartLibrary(record);
  StartKeyboard(record);
  StartMouse(record);
  return record;
}

}  // namespace

GraphSession &Session() {
  static GraphSession &session = StartedRecord();
  return session;
}

// Start before main, as a program expects of the library.
[[maybe_unused]] static GraphSession &startedAtLoad = Session();

void StartLibrary(GraphSession &s) {
  s.WindowOpen = false;
  s.PaletteMode = false;
  s.Driver = -1;
  s.KeyboardHookSlot = nullptr;
  s.MouseHookSlot = nullptr;
  s.ScreenWidth = GetSystemMetrics(SM_CXSCREEN);
  s.ScreenHeight = GetSystemMetrics(SM_CYSCREEN);
  for (uint32_t &c : s.NamedColors) c = 0;
}

bool ExitLibrary() {
  GraphSession &s = Session();
  const DWORD program = s.ProgramThreadId;
  if (program == 0) return true;  // no window thread
  if (program != GetCurrentThreadId()) return false;
  if (s.WindowOpen) CloseGraphWindow();
  return true;
}

#ifdef _WIN32
PageBatch::PageBatch(bool active) : active_(active) {}
PageBatch::~PageBatch() = default;
#else
PageBatch::PageBatch(bool active) : active_(active) {
  if (active_) pvplatform::BeginGdiBatch();
}
PageBatch::~PageBatch() {
  if (active_) pvplatform::EndGdiBatch();
}
#endif

void SetGraphError(int16_t code) { Session().GraphError = code; }

int16_t GraphError() { return Session().GraphError; }

bool CommonStart() {
  GraphSession &s = Session();
  // Every operation starts here: a release store is a plain one, where the default order
  // would make each call pay for a full fence.
  s.GraphError.store(grOk, std::memory_order_release);
  if (!s.WindowOpen) {
    s.GraphError = grNotOpen;
    return false;
  }
  return true;
}

void SelectIntoBothDCs(HGDIOBJ object, HGDIOBJ initial) {
  GraphSession &s = Session();
  HGDIOBJ replaced = SelectObject(s.WindowDC, object);
  SelectObject(s.PageDC, object);
  if (replaced && replaced != initial) DeleteObject(replaced);
}

}  // namespace plotvane
