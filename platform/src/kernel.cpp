// Kernel services: threads with exit codes and priorities, critical sections, time, start-up
// information and the module handle.
#include <limits.h>
#include <pthread.h>
#include <sched.h>
#include <strings.h>
#include <sys/resource.h>
#include <sys/syscall.h>
#include <time.h>
#include <unistd.h>

#include <algorithm>
#include <atomic>
#include <chrono>
#include <condition_variable>
#include <cstring>
#include <memory>
#include <mutex>
#include <string>
#include <thread>
#include <unordered_map>

#include "kernel_internal.h"
#include "user_internal.h"

namespace pv::kernel {
namespace {

// GetThreadPriority's failure value.
constexpr int kPriorityError = 0x7FFFFFFF;

struct ThreadObject {
  LPTHREAD_START_ROUTINE start = nullptr;
  LPVOID param = nullptr;
  DWORD id = 0;

  std::mutex mutex;
  std::condition_variable ended;
  bool finished = false;
  bool handleClosed = false;
  DWORD exitCode = STILL_ACTIVE;
  int priority = THREAD_PRIORITY_NORMAL;
  pid_t tid = 0;  // kernel id once the thread runs, for the priority
};

std::mutex g_tableMutex;
std::unordered_map<uintptr_t, std::shared_ptr<ThreadObject>> g_threads;
uintptr_t g_nextHandle = 0x1004;
std::atomic<int> g_liveThreads{0};
std::atomic<DWORD> g_nextThreadId{0x100};
thread_local DWORD t_threadId = 0;

std::shared_ptr<ThreadObject> FindThread(HANDLE h) {
  std::lock_guard lock(g_tableMutex);
  auto it = g_threads.find(reinterpret_cast<uintptr_t>(h));
  return it == g_threads.end() ? nullptr : it->second;
}

// Linux nice values stand in for Windows priority levels; raising one needs privileges, so
// this is best effort and the level asked for is kept either way.
void ApplyPriority(pid_t tid, int priority) {
  if (tid == 0) return;
  int nice = priority >= 15 ? -10 : priority <= -15 ? 19 : -2 * priority;
  setpriority(PRIO_PROCESS, static_cast<id_t>(tid), nice);
}

bool ValidPriority(int p) { return p == -15 || p == 15 || (p >= -2 && p <= 2); }

void *ThreadMain(void *arg) {
  std::shared_ptr<ThreadObject> self(*static_cast<std::shared_ptr<ThreadObject> *>(arg));
  delete static_cast<std::shared_ptr<ThreadObject> *>(arg);
  t_threadId = self->id;
  {
    std::lock_guard lock(self->mutex);
#ifdef SYS_gettid  // a browser's workers have no thread ids: the level asked for is only kept
    self->tid = static_cast<pid_t>(syscall(SYS_gettid));
#endif
    if (self->priority != THREAD_PRIORITY_NORMAL) ApplyPriority(self->tid, self->priority);
  }
  DWORD code = self->start(self->param);
  // Windows the thread still owns go with it, before anyone can see it has ended.
  pv::user::ThreadEnding();
  {
    std::lock_guard lock(self->mutex);
    self->exitCode = code;
    self->finished = true;
    if (self->handleClosed) g_liveThreads.fetch_sub(1);
  }
  self->ended.notify_all();
  return nullptr;
}

}  // namespace

int CountLiveThreads() { return g_liveThreads.load(); }

}  // namespace pv::kernel

using namespace pv::kernel;

extern "C" {

HANDLE WINAPI CreateThread(LPVOID, size_t stackSize, LPTHREAD_START_ROUTINE start, LPVOID param, DWORD,
                           LPDWORD threadId) {
  if (!start) return nullptr;
  auto obj = std::make_shared<ThreadObject>();
  obj->start = start;
  obj->param = param;
  obj->id = g_nextThreadId.fetch_add(4);

  pthread_attr_t attr;
  pthread_attr_init(&attr);
  pthread_attr_setdetachstate(&attr, PTHREAD_CREATE_DETACHED);
  if (stackSize > 0) {
    size_t size = std::max(stackSize, static_cast<size_t>(PTHREAD_STACK_MIN));
    pthread_attr_setstacksize(&attr, size);
  }
  uintptr_t handle;
  {
    std::lock_guard lock(g_tableMutex);
    handle = g_nextHandle;
    g_nextHandle += 4;
    g_threads.emplace(handle, obj);
  }
  g_liveThreads.fetch_add(1);
  auto *arg = new std::shared_ptr<ThreadObject>(obj);
  pthread_t thread;
  int rc = pthread_create(&thread, &attr, ThreadMain, arg);
  pthread_attr_destroy(&attr);
  if (rc != 0) {
    delete arg;
    std::lock_guard lock(g_tableMutex);
    g_threads.erase(handle);
    g_liveThreads.fetch_sub(1);
    return nullptr;
  }
  if (threadId) *threadId = obj->id;
  return reinterpret_cast<HANDLE>(handle);
}

BOOL WINAPI SetThreadPriority(HANDLE thread, int priority) {
  auto obj = FindThread(thread);
  if (!obj || !ValidPriority(priority)) return FALSE;
  std::lock_guard lock(obj->mutex);
  obj->priority = priority;
  if (!obj->finished) ApplyPriority(obj->tid, priority);
  return TRUE;
}

int WINAPI GetThreadPriority(HANDLE thread) {
  auto obj = FindThread(thread);
  if (!obj) return kPriorityError;
  std::lock_guard lock(obj->mutex);
  return obj->priority;
}

BOOL WINAPI GetExitCodeThread(HANDLE thread, LPDWORD exitCode) {
  auto obj = FindThread(thread);
  if (!obj || !exitCode) return FALSE;
  std::lock_guard lock(obj->mutex);
  *exitCode = obj->exitCode;
  return TRUE;
}

DWORD WINAPI WaitForSingleObject(HANDLE handle, DWORD milliseconds) {
  auto obj = FindThread(handle);
  if (!obj) return WAIT_FAILED;
  std::unique_lock lock(obj->mutex);
  auto done = [&] { return obj->finished; };
  if (milliseconds == INFINITE) {
    obj->ended.wait(lock, done);
    return WAIT_OBJECT_0;
  }
  return obj->ended.wait_for(lock, std::chrono::milliseconds(milliseconds), done) ? WAIT_OBJECT_0 : WAIT_TIMEOUT;
}

BOOL WINAPI CloseHandle(HANDLE handle) {
  std::shared_ptr<ThreadObject> obj;
  {
    std::lock_guard lock(g_tableMutex);
    auto it = g_threads.find(reinterpret_cast<uintptr_t>(handle));
    if (it == g_threads.end()) return FALSE;
    obj = std::move(it->second);
    g_threads.erase(it);
  }
  std::lock_guard lock(obj->mutex);
  obj->handleClosed = true;
  if (obj->finished) g_liveThreads.fetch_sub(1);
  return TRUE;
}

DWORD WINAPI GetCurrentThreadId(void) {
  if (t_threadId == 0) t_threadId = g_nextThreadId.fetch_add(4);
  return t_threadId;
}

// An uninitialised or deleted section does nothing rather than touch freed memory.
void WINAPI InitializeCriticalSection(LPCRITICAL_SECTION cs) {
  if (!cs) return;
  std::memset(cs, 0, sizeof *cs);
  cs->impl = new std::recursive_mutex;
}

void WINAPI DeleteCriticalSection(LPCRITICAL_SECTION cs) {
  if (!cs || !cs->impl) return;
  delete static_cast<std::recursive_mutex *>(cs->impl);
  cs->impl = nullptr;
}

void WINAPI EnterCriticalSection(LPCRITICAL_SECTION cs) {
  if (cs && cs->impl) static_cast<std::recursive_mutex *>(cs->impl)->lock();
}

void WINAPI LeaveCriticalSection(LPCRITICAL_SECTION cs) {
  if (cs && cs->impl) static_cast<std::recursive_mutex *>(cs->impl)->unlock();
}

void WINAPI Sleep(DWORD milliseconds) {
  if (milliseconds == 0) {
    sched_yield();
    return;
  }
  if (milliseconds == INFINITE) {
    for (;;) std::this_thread::sleep_for(std::chrono::hours(24));
  }
  std::this_thread::sleep_for(std::chrono::milliseconds(milliseconds));
}

DWORD WINAPI GetTickCount(void) {
  timespec ts;
  clock_gettime(CLOCK_MONOTONIC, &ts);
  uint64_t ms = static_cast<uint64_t>(ts.tv_sec) * 1000u + static_cast<uint64_t>(ts.tv_nsec) / 1000000u;
  return static_cast<DWORD>(ms);  // wraps after 49.7 days, as on Windows
}

}  // extern "C"

namespace {

const std::string &ExecutablePath() {
  static const std::string path = [] {
    char buf[PATH_MAX];
    ssize_t n = readlink("/proc/self/exe", buf, sizeof buf - 1);
    return n > 0 ? std::string(buf, static_cast<size_t>(n)) : std::string();
  }();
  return path;
}

// The one module of the process: any stable, non-null address serves as its handle.
char g_moduleTag;

}  // namespace

extern "C" {

// What a console program started from a shell gets: no flags, so the show command is only
// advisory; it is SW_SHOWNORMAL rather than garbage.
void WINAPI GetStartupInfoA(LPSTARTUPINFOA info) {
  if (!info) return;
  static char desktop[] = "WinSta0\\Default";
  static std::string title = ExecutablePath();
  std::memset(info, 0, sizeof *info);
  info->cb = sizeof *info;
  info->lpDesktop = desktop;
  info->lpTitle = title.data();
  info->dwFlags = 0;
  info->wShowWindow = SW_SHOWNORMAL;
}

HMODULE WINAPI GetModuleHandleA(LPCSTR name) {
  HMODULE self = reinterpret_cast<HMODULE>(&g_moduleTag);
  if (!name) return self;
  const std::string &path = ExecutablePath();
  std::string base = path.substr(path.find_last_of('/') + 1);
  std::string asked = name;
  if (asked.size() > 4 && strcasecmp(asked.c_str() + asked.size() - 4, ".exe") == 0) asked.resize(asked.size() - 4);
  return strcasecmp(base.c_str(), asked.c_str()) == 0 ? self : nullptr;
}

}  // extern "C"
