// USER's object model, shared by the USER source files and the hosts.
//
// Windows live in one table guarded by UserMutex(); a window handle is a number that is never
// reused, so a stale handle is simply not found. Each thread that uses messages has a Queue.
// Lock order: UserMutex() before any Queue::mutex; no USER lock is held while a window
// procedure runs.
#pragma once

#include <windows.h>

#include <condition_variable>
#include <cstdint>
#include <deque>
#include <functional>
#include <memory>
#include <mutex>
#include <string>

#include "window_surface.h"

namespace pv::user {

// A posted message and what the host knew about it: for key messages from a real keyboard,
// the characters the key typed (Windows-1252 bytes), which TranslateMessage hands out.
struct QueuedMessage {
  MSG msg{};
  std::string text;
  bool hostText = false;  // `text` is authoritative (possibly empty): the key came from a host
};

struct Queue;

// A message sent to a window of another thread; the sender waits for `done`.
struct SentMessage {
  HWND hwnd = nullptr;
  UINT message = 0;
  WPARAM wParam = 0;
  LPARAM lParam = 0;
  LRESULT result = 0;
  bool done = false;                // guarded by the sender queue's mutex
  std::shared_ptr<Queue> sender;    // nullptr: nobody waits for the result
  std::function<LRESULT()> action;  // USER's own work to run on the owner thread instead
};

class Pump;

struct Queue {
  DWORD threadId = 0;
  std::mutex mutex;
  std::condition_variable changed;
  std::deque<QueuedMessage> posted;
  std::deque<std::shared_ptr<SentMessage>> sent;
  bool quit = false;
  int quitCode = 0;
  bool alive = true;     // false once its thread has ended
  uint64_t serial = 0;   // bumped by everything that may give the thread work
  // Set while a host delivers this thread's input (the SDL host): retrieval polls it and
  // waits in it, and Wake asks it to return from its wait.
  Pump *pump = nullptr;

  // Tells the thread that something changed. Caller holds `mutex`.
  void Wake();
};

// A host that reads input on the thread that owns its windows.
class Pump {
 public:
  virtual ~Pump() = default;
  // Turns pending host events into posted messages; never blocks. On the owner thread.
  virtual void Poll() = 0;
  // Blocks until a host event or a Wake arrives, then polls. On the owner thread.
  virtual void Wait() = 0;
  // Makes Wait return. Any thread, with the queue's mutex held.
  virtual void Wake() = 0;
};

struct Window;

// What a host keeps for one window.
class HostWindow {
 public:
  virtual ~HostWindow() = default;
  virtual void Show(bool visible) = 0;
  virtual void Raise() = 0;
  // Shows what the owner thread drew on its windows while a window procedure ran: called when
  // the outermost procedure returns, so that painting never waits for the screen.
  virtual void Flush() {}
};

class Host {
 public:
  virtual ~Host() = default;
  // Makes the host's side of `w` on the calling thread (its owner); on failure says why.
  virtual std::unique_ptr<HostWindow> Create(Window &w, std::string &why) = 0;
  // The screen size; false when no screen can be reached.
  virtual bool ScreenSize(int &width, int &height) = 0;
};

Host &HeadlessHost();
Host &SdlHost();
Host &WebHost();
// The host that new windows get now.
Host &CurrentHost();
// Screen size of the headless host.
void SetHeadlessScreenSize(int width, int height);

struct Window {
  HWND hwnd = nullptr;
  std::string className;
  UINT classStyle = 0;
  WNDPROC proc = nullptr;
  HBRUSH background = nullptr;
  std::string title;
  DWORD style = 0;
  DWORD exStyle = 0;
  RECT rect{};           // outer rectangle, screen coordinates
  POINT clientOrigin{};  // client area's top-left corner on the screen
  DWORD threadId = 0;
  std::shared_ptr<Queue> queue;

  // Guarded by UserMutex().
  bool visible = false;
  bool destroying = false;
  bool hasUpdate = false;
  bool eraseUpdate = false;
  RECT update{};  // bounding box of the update region, client coordinates

  WindowSurface surface;
  HDC dc = nullptr;  // the window's own DC on `surface`
  std::unique_ptr<HostWindow> host;
};

std::mutex &UserMutex();
// The live window behind `hwnd` (not the desktop), or nullptr. Takes UserMutex().
std::shared_ptr<Window> FindWindow(HWND hwnd);
// A visible window of `thread` (matching `filter` when set) with an update region, or nullptr.
HWND WindowNeedingPaint(DWORD thread, HWND filter);
// The desktop window's handle.
HWND DesktopHandle();
// The screen size of the current host (a fallback size when no screen can be reached).
void ScreenSize(int &width, int &height);

// The calling thread's queue, made on first use.
std::shared_ptr<Queue> CurrentQueue();
// Runs `hwnd`'s window procedure on the calling thread.
LRESULT CallWindowProcedure(const std::shared_ptr<Window> &w, UINT msg, WPARAM wParam, LPARAM lParam);
// True while the calling thread runs a window procedure.
bool InWindowProcedure();
// Posts a message from a host to its own thread's queue (the thread that owns `hwnd`).
void PostHostMessage(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam, std::string text, bool hostText);
// Runs `action` on the thread that owns `w` (at once when that is the calling thread); with
// `wait`, returns its result after it ran, otherwise 0 at once.
LRESULT RunOnOwner(const std::shared_ptr<Window> &w, std::function<LRESULT()> action, bool wait);
// Asks the owner of `w` to look again (a paint became due). Takes no USER lock itself.
void WakeOwner(const Window &w);
// Drops posted messages for a window being destroyed.
void PurgeMessages(Queue &queue, HWND hwnd);
// Answers every message still sent to a queue whose thread is gone.
void AbandonSent(Queue &queue);

// Keyboard state of the calling thread, updated as messages are retrieved.
void NoteRetrieved(const QueuedMessage &m);

// Forgets the calling thread's queue; messages still sent to it are answered with 0.
void RetireCurrentQueue();
// Called as a thread made by CreateThread ends: its windows are destroyed, its queue retired.
void ThreadEnding();
int CountLiveWindows();

}  // namespace pv::user
