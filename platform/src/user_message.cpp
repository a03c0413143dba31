// USER: per-thread message queues, posting, sending across threads, retrieval with WM_PAINT
// made when nothing else is waiting, and dispatch.
#include <algorithm>
#include <unordered_map>

#include "user_internal.h"

namespace pv::user {
namespace {

std::mutex g_queuesMutex;
std::unordered_map<DWORD, std::shared_ptr<Queue>> g_queues;

// Retires the queue of a thread that was not made by CreateThread when that thread ends.
struct QueueOwner {
  std::shared_ptr<Queue> queue;
  ~QueueOwner() {
    if (queue) RetireCurrentQueue();
  }
};
thread_local QueueOwner t_owner;

const HWND kThreadOnly = reinterpret_cast<HWND>(static_cast<intptr_t>(-1));

bool Matches(const MSG &m, HWND filter, UINT lo, UINT hi) {
  if (filter == kThreadOnly ? m.hwnd != nullptr : filter && m.hwnd != filter) return false;
  return (lo == 0 && hi == 0) || (m.message >= lo && m.message <= hi);
}

void Reply(SentMessage &s, LRESULT result) {
  if (!s.sender) return;
  std::lock_guard lock(s.sender->mutex);
  s.result = result;
  s.done = true;
  s.sender->Wake();
}

// Runs everything sent to this thread, each outside the queue's lock.
void ProcessSent(Queue &q) {
  for (;;) {
    std::shared_ptr<SentMessage> s;
    {
      std::lock_guard lock(q.mutex);
      if (q.sent.empty()) return;
      s = std::move(q.sent.front());
      q.sent.pop_front();
    }
    LRESULT result = 0;
    if (s->action) {
      result = s->action();
    } else if (auto w = FindWindow(s->hwnd)) {
      result = CallWindowProcedure(w, s->message, s->wParam, s->lParam);
    }
    Reply(*s, result);
  }
}

// Hands `s` to the owner's queue; with a sender, waits for the answer while answering what is
// sent to this thread meanwhile (two threads sending to each other must not lock up).
LRESULT Deliver(const std::shared_ptr<Window> &w, std::shared_ptr<SentMessage> s) {
  const bool wait = s->sender != nullptr;
  {
    std::lock_guard lock(w->queue->mutex);
    if (!w->queue->alive) return 0;
    w->queue->sent.push_back(s);
    w->queue->Wake();
  }
  if (!wait) return 0;
  Queue &me = *s->sender;
  for (;;) {
    ProcessSent(me);
    std::unique_lock lock(me.mutex);
    if (s->done) return s->result;
    const uint64_t serial = me.serial;
    if (!me.sent.empty()) continue;
    me.changed.wait(lock, [&] { return me.serial != serial; });
  }
}

bool PaintDue(HWND filter, UINT lo, UINT hi, MSG *out);

// The common body of GetMessageA and PeekMessageA: 1 for a message, 0 for WM_QUIT (when
// `wait`) or nothing (when not), -1 for a bad window filter.
int Retrieve(MSG *out, HWND filter, UINT lo, UINT hi, bool remove, bool wait) {
  if (!out) return -1;
  if (filter && filter != kThreadOnly && !FindWindow(filter)) return -1;
  auto q = CurrentQueue();
  for (;;) {
    ProcessSent(*q);
    if (q->pump) q->pump->Poll();
    uint64_t serial;
    {
      std::unique_lock lock(q->mutex);
      if (!q->sent.empty()) continue;
      auto it = std::find_if(q->posted.begin(), q->posted.end(),
                             [&](const QueuedMessage &m) { return Matches(m.msg, filter, lo, hi); });
      if (it != q->posted.end()) {
        *out = it->msg;
        if (remove) {
          QueuedMessage m = std::move(*it);
          q->posted.erase(it);
          lock.unlock();
          NoteRetrieved(m);
        }
        return wait && out->message == WM_QUIT ? 0 : 1;
      }
      if (q->quit) {
        *out = MSG{};
        out->message = WM_QUIT;
        out->wParam = static_cast<WPARAM>(q->quitCode);
        out->time = GetTickCount();
        if (remove) q->quit = false;
        return wait ? 0 : 1;
      }
      serial = q->serial;
    }
    if (PaintDue(filter, lo, hi, out)) return 1;
    if (!wait) return 0;
    if (q->pump) {
      {
        std::lock_guard lock(q->mutex);
        if (q->serial != serial) continue;
      }
      q->pump->Wait();
    } else {
      std::unique_lock lock(q->mutex);
      q->changed.wait(lock, [&] { return q->serial != serial; });
    }
  }
}

bool PaintDue(HWND filter, UINT lo, UINT hi, MSG *out) {
  if (filter == kThreadOnly) return false;
  if (!((lo == 0 && hi == 0) || (WM_PAINT >= lo && WM_PAINT <= hi))) return false;
  HWND due = WindowNeedingPaint(GetCurrentThreadId(), filter);
  if (!due) return false;
  *out = MSG{due, WM_PAINT, 0, 0, GetTickCount(), {}};
  return true;
}

}  // namespace

void Queue::Wake() {
  ++serial;
  changed.notify_all();
  if (pump) pump->Wake();
}

std::shared_ptr<Queue> CurrentQueue() {
  if (t_owner.queue) return t_owner.queue;
  auto q = std::make_shared<Queue>();
  q->threadId = GetCurrentThreadId();
  {
    std::lock_guard lock(g_queuesMutex);
    g_queues[q->threadId] = q;
  }
  t_owner.queue = q;
  return q;
}

void RetireCurrentQueue() {
  std::shared_ptr<Queue> q = std::move(t_owner.queue);
  if (!q) return;
  {
    std::lock_guard lock(g_queuesMutex);
    auto it = g_queues.find(q->threadId);
    if (it != g_queues.end() && it->second == q) g_queues.erase(it);
  }
  AbandonSent(*q);
}

void AbandonSent(Queue &q) {
  std::deque<std::shared_ptr<SentMessage>> orphans;
  {
    std::lock_guard lock(q.mutex);
    q.alive = false;
    q.posted.clear();
    orphans.swap(q.sent);
  }
  for (auto &s : orphans) Reply(*s, 0);
}

LRESULT RunOnOwner(const std::shared_ptr<Window> &w, std::function<LRESULT()> action, bool wait) {
  if (w->threadId == GetCurrentThreadId()) return action();
  auto s = std::make_shared<SentMessage>();
  s->hwnd = w->hwnd;
  s->action = std::move(action);
  if (wait) s->sender = CurrentQueue();
  return Deliver(w, std::move(s));
}

void WakeOwner(const Window &w) {
  std::lock_guard lock(w.queue->mutex);
  w.queue->Wake();
}

void PurgeMessages(Queue &q, HWND hwnd) {
  std::lock_guard lock(q.mutex);
  std::erase_if(q.posted, [&](const QueuedMessage &m) { return m.msg.hwnd == hwnd; });
}

void PostHostMessage(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam, std::string text, bool hostText) {
  auto w = FindWindow(hwnd);
  if (!w) return;
  QueuedMessage m;
  m.msg = {hwnd, msg, wParam, lParam, GetTickCount(), {}};
  if (msg >= WM_MOUSEMOVE && msg <= WM_MBUTTONUP) {
    m.msg.pt = {w->clientOrigin.x + static_cast<SHORT>(LOWORD(lParam)),
                w->clientOrigin.y + static_cast<SHORT>(HIWORD(lParam))};
  } else if (msg == WM_MOUSEWHEEL) {
    m.msg.pt = {static_cast<SHORT>(LOWORD(lParam)), static_cast<SHORT>(HIWORD(lParam))};
  }
  m.text = std::move(text);
  m.hostText = hostText;
  std::lock_guard lock(w->queue->mutex);
  if (!w->queue->alive) return;
  w->queue->posted.push_back(std::move(m));
  w->queue->Wake();
}

}  // namespace pv::user

using namespace pv::user;

extern "C" {

BOOL WINAPI GetMessageA(LPMSG msg, HWND hwnd, UINT filterMin, UINT filterMax) {
  return Retrieve(msg, hwnd, filterMin, filterMax, true, true);
}

BOOL WINAPI PeekMessageA(LPMSG msg, HWND hwnd, UINT filterMin, UINT filterMax, UINT removeMsg) {
  return Retrieve(msg, hwnd, filterMin, filterMax, (removeMsg & PM_REMOVE) != 0, false) == 1;
}

LRESULT WINAPI DispatchMessageA(const MSG *msg) {
  if (!msg || !msg->hwnd) return 0;
  auto w = FindWindow(msg->hwnd);
  if (!w || w->threadId != GetCurrentThreadId()) return 0;
  return CallWindowProcedure(w, msg->message, msg->wParam, msg->lParam);
}

BOOL WINAPI PostMessageA(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam) {
  std::shared_ptr<Queue> q;
  if (!hwnd) {
    q = CurrentQueue();  // a thread message to the caller's own thread
  } else {
    auto w = FindWindow(hwnd);
    if (!w) return FALSE;
    q = w->queue;
  }
  QueuedMessage m;
  m.msg = {hwnd, msg, wParam, lParam, GetTickCount(), {}};
  std::lock_guard lock(q->mutex);
  if (!q->alive) return FALSE;
  q->posted.push_back(std::move(m));
  q->Wake();
  return TRUE;
}

LRESULT WINAPI SendMessageA(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam) {
  auto w = FindWindow(hwnd);
  if (!w) return 0;
  if (w->threadId == GetCurrentThreadId()) return CallWindowProcedure(w, msg, wParam, lParam);
  auto s = std::make_shared<SentMessage>();
  s->hwnd = hwnd;
  s->message = msg;
  s->wParam = wParam;
  s->lParam = lParam;
  s->sender = CurrentQueue();
  return Deliver(w, std::move(s));
}

void WINAPI PostQuitMessage(int exitCode) {
  auto q = CurrentQueue();
  std::lock_guard lock(q->mutex);
  q->quit = true;
  q->quitCode = exitCode;
  q->Wake();
}

}  // extern "C"
