// The save lock over the real Global mutex (run under Wine): a save held by
// another thread (as by another process) keeps a second one waiting, which
// gives up at its bound; once let go, the next save has it.
#include "win32_save_lock.h"

#include <windows.h>

#include <gtest/gtest.h>

#include <thread>

namespace {

constexpr std::uint32_t kShortBoundMs = 200;
constexpr DWORD kLongestWaitMs = 30000;

TEST(Win32SaveLock, ASecondSaveWaitsUpToItsBoundAndHasTheLockOnceItIsLetGo)
{
    HANDLE hHeld = ::CreateEventW(nullptr, TRUE, FALSE, nullptr);
    HANDLE hLetGo = ::CreateEventW(nullptr, TRUE, FALSE, nullptr);
    ASSERT_NE(hHeld, nullptr);
    ASSERT_NE(hLetGo, nullptr);
    bool firstHad = false;
    std::thread first([&] {
        Win32SaveLock lock;
        firstHad = lock.Acquire();
        ::SetEvent(hHeld);
        ::WaitForSingleObject(hLetGo, kLongestWaitMs);
        lock.Release();
    });
    ASSERT_EQ(::WaitForSingleObject(hHeld, kLongestWaitMs), WAIT_OBJECT_0);
    EXPECT_TRUE(firstHad);

    Win32SaveLock second(kShortBoundMs);
    const DWORD started = ::GetTickCount();
    EXPECT_FALSE(second.Acquire()) << "had the lock while another save held it";
    EXPECT_GE(::GetTickCount() - started, kShortBoundMs - 50) << "gave up before its bound";

    ::SetEvent(hLetGo);
    first.join();
    EXPECT_TRUE(second.Acquire());
    second.Release();
    second.Release(); // letting go twice is harmless
    ::CloseHandle(hHeld);
    ::CloseHandle(hLetGo);
}

} // namespace
