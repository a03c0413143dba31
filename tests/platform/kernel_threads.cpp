// Kernel services: threads, their exit codes, handles and priorities; re-entrant critical
// sections; start-up information and the module handle.
#include <gtest/gtest.h>
#include <pvplatform.h>
#include <windows.h>

#include <atomic>
#include <cstring>
#include <set>

namespace {

struct Gate {
  std::atomic<bool> open{false};
  std::atomic<bool> entered{false};
  DWORD code = 0;
};

DWORD WINAPI WaitAtGate(LPVOID p) {
  auto *g = static_cast<Gate *>(p);
  g->entered = true;
  while (!g->open) Sleep(1);
  return g->code;
}

DWORD WINAPI ReturnParam(LPVOID p) { return static_cast<DWORD>(reinterpret_cast<uintptr_t>(p)); }

TEST(KernelThreads, ExitCodeIsStillActiveWhileRunningThenTheRoutinesResult) {
  Gate g;
  g.code = 42;
  DWORD id = 0;
  HANDLE t = CreateThread(nullptr, 0, WaitAtGate, &g, 0, &id);
  ASSERT_NE(t, nullptr);
  EXPECT_NE(id, 0u);
  EXPECT_NE(id, GetCurrentThreadId());
  while (!g.entered) Sleep(1);
  DWORD code = 0;
  ASSERT_TRUE(GetExitCodeThread(t, &code));
  EXPECT_EQ(code, static_cast<DWORD>(STILL_ACTIVE));
  EXPECT_EQ(WaitForSingleObject(t, 0), static_cast<DWORD>(WAIT_TIMEOUT));
  g.open = true;
  EXPECT_EQ(WaitForSingleObject(t, INFINITE), static_cast<DWORD>(WAIT_OBJECT_0));
  ASSERT_TRUE(GetExitCodeThread(t, &code));
  EXPECT_EQ(code, 42u);
  EXPECT_TRUE(CloseHandle(t));
}

TEST(KernelThreads, EveryReturnValueComesBackIncludingTheStillActiveNumber) {
  for (DWORD value : {0u, 1u, 259u, 0xFFFFFFFFu}) {
    HANDLE t = CreateThread(nullptr, 0, ReturnParam, reinterpret_cast<LPVOID>(static_cast<uintptr_t>(value)), 0,
                            nullptr);
    ASSERT_NE(t, nullptr);
    WaitForSingleObject(t, INFINITE);
    DWORD code = 12345;
    GetExitCodeThread(t, &code);
    EXPECT_EQ(code, value);
    CloseHandle(t);
  }
}

TEST(KernelThreads, ClosingTheHandleLeavesTheThreadRunningAndNothingBehind) {
  const int before = pvplatform::CountLive().threads;
  Gate g;
  HANDLE t = CreateThread(nullptr, 0, WaitAtGate, &g, 0, nullptr);
  ASSERT_NE(t, nullptr);
  EXPECT_EQ(pvplatform::CountLive().threads, before + 1);
  while (!g.entered) Sleep(1);
  ASSERT_TRUE(CloseHandle(t));
  EXPECT_EQ(pvplatform::CountLive().threads, before + 1);  // still running
  EXPECT_FALSE(CloseHandle(t));
  DWORD code;
  EXPECT_FALSE(GetExitCodeThread(t, &code));
  EXPECT_EQ(WaitForSingleObject(t, 0), static_cast<DWORD>(WAIT_FAILED));
  g.open = true;
  for (int i = 0; i < 1000 && pvplatform::CountLive().threads != before; ++i) Sleep(2);
  EXPECT_EQ(pvplatform::CountLive().threads, before);
}

TEST(KernelThreads, FinishedThreadsCountUntilTheirHandleCloses) {
  const int before = pvplatform::CountLive().threads;
  HANDLE t = CreateThread(nullptr, 0, ReturnParam, nullptr, 0, nullptr);
  WaitForSingleObject(t, INFINITE);
  EXPECT_EQ(pvplatform::CountLive().threads, before + 1);
  CloseHandle(t);
  EXPECT_EQ(pvplatform::CountLive().threads, before);
}

TEST(KernelThreads, PriorityIsKeptAndBadValuesRefused) {
  Gate g;
  HANDLE t = CreateThread(nullptr, 0, WaitAtGate, &g, 0, nullptr);
  EXPECT_EQ(GetThreadPriority(t), THREAD_PRIORITY_NORMAL);
  EXPECT_TRUE(SetThreadPriority(t, THREAD_PRIORITY_ABOVE_NORMAL));
  EXPECT_EQ(GetThreadPriority(t), THREAD_PRIORITY_ABOVE_NORMAL);
  EXPECT_TRUE(SetThreadPriority(t, THREAD_PRIORITY_BELOW_NORMAL));
  EXPECT_EQ(GetThreadPriority(t), THREAD_PRIORITY_BELOW_NORMAL);
  EXPECT_FALSE(SetThreadPriority(t, 7));
  EXPECT_EQ(GetThreadPriority(t), THREAD_PRIORITY_BELOW_NORMAL);
  g.open = true;
  WaitForSingleObject(t, INFINITE);
  CloseHandle(t);
  EXPECT_FALSE(SetThreadPriority(t, THREAD_PRIORITY_NORMAL));
  EXPECT_EQ(GetThreadPriority(t), 0x7FFFFFFF);  // THREAD_PRIORITY_ERROR_RETURN
  EXPECT_EQ(CreateThread(nullptr, 0, nullptr, nullptr, 0, nullptr), nullptr);
}

DWORD WINAPI RecordId(LPVOID p) {
  *static_cast<DWORD *>(p) = GetCurrentThreadId();
  return 0;
}

TEST(KernelThreads, ThreadIdsAreStableAndDistinct) {
  const DWORD me = GetCurrentThreadId();
  EXPECT_EQ(GetCurrentThreadId(), me);
  std::set<DWORD> ids{me};
  for (int i = 0; i < 8; ++i) {
    DWORD reported = 0, seen = 0;
    HANDLE t = CreateThread(nullptr, 0, RecordId, &seen, 0, &reported);
    WaitForSingleObject(t, INFINITE);
    CloseHandle(t);
    EXPECT_EQ(seen, reported);
    EXPECT_TRUE(ids.insert(seen).second) << "thread id reused: " << seen;
  }
}

struct Shared {
  CRITICAL_SECTION cs;
  long counter = 0;  // guarded by cs only
};

DWORD WINAPI AddNested(LPVOID p) {
  auto *s = static_cast<Shared *>(p);
  for (int i = 0; i < 20000; ++i) {
    EnterCriticalSection(&s->cs);
    EnterCriticalSection(&s->cs);  // re-entrant: the owner may enter again
    long v = s->counter;
    LeaveCriticalSection(&s->cs);
    s->counter = v + 1;
    LeaveCriticalSection(&s->cs);
  }
  return 0;
}

TEST(KernelThreads, CriticalSectionsAreReentrantAndExclude) {
  Shared s;
  InitializeCriticalSection(&s.cs);
  HANDLE a = CreateThread(nullptr, 0, AddNested, &s, 0, nullptr);
  HANDLE b = CreateThread(nullptr, 0, AddNested, &s, 0, nullptr);
  AddNested(&s);
  WaitForSingleObject(a, INFINITE);
  WaitForSingleObject(b, INFINITE);
  CloseHandle(a);
  CloseHandle(b);
  EXPECT_EQ(s.counter, 60000);
  DeleteCriticalSection(&s.cs);
  EXPECT_EQ(s.cs.impl, nullptr);
  DeleteCriticalSection(&s.cs);  // twice does no harm
}

TEST(KernelProcess, StartupInfoIsThatOfAConsoleProgram) {
  STARTUPINFOA si;
  std::memset(&si, 0xAB, sizeof si);
  GetStartupInfoA(&si);
  EXPECT_EQ(si.cb, sizeof si);
  EXPECT_EQ(si.dwFlags & STARTF_USESHOWWINDOW, 0u);
  EXPECT_EQ(si.wShowWindow, SW_SHOWNORMAL);
  EXPECT_EQ(si.hStdInput, nullptr);
  EXPECT_EQ(si.lpReserved, nullptr);
  ASSERT_NE(si.lpTitle, nullptr);
  EXPECT_NE(std::strstr(si.lpTitle, "platform_kernel_threads"), nullptr);
}

TEST(KernelProcess, ModuleHandleOfTheProgram) {
  HMODULE self = GetModuleHandleA(nullptr);
  EXPECT_NE(self, nullptr);
  EXPECT_EQ(GetModuleHandleA(nullptr), self);
  EXPECT_EQ(GetModuleHandleA("platform_kernel_threads.exe"), self);
  EXPECT_EQ(GetModuleHandleA("no-such-module.dll"), nullptr);
}

}  // namespace
