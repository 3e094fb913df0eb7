// The stack protector's guard and its failure, for both programs. The
// toolchain's own runtime (libssp) seeds the guard through the legacy
// CryptoAPI, which loads the RSA provider and two crypto libraries at every
// start; this seeds it as Visual C++ seeds its /GS cookie, from the
// process's own timers, ids and (randomised) addresses, at no load at all.
// Linked into each program as an object, so that the linker never takes
// libssp's definitions instead, and built without the protector itself.
// Windows builds only.
#include <windows.h>

#include <cstdint>

namespace {

// A guard that is never zero, so that a string copy ending in NUL cannot
// rebuild it; the seed below replaces it before main.
constexpr std::uintptr_t kUnseededGuard = 0x2B992DDFA232;

std::uintptr_t Seed(std::uintptr_t stackAddress)
{
    FILETIME now = {};
    ::GetSystemTimeAsFileTime(&now);
    LARGE_INTEGER counter = {};
    ::QueryPerformanceCounter(&counter);
    std::uintptr_t seed = (static_cast<std::uintptr_t>(now.dwHighDateTime) << 32) ^ now.dwLowDateTime;
    seed ^= static_cast<std::uintptr_t>(::GetCurrentProcessId()) << 16;
    seed ^= ::GetCurrentThreadId();
    seed ^= static_cast<std::uintptr_t>(::GetTickCount64()) << 24;
    seed ^= static_cast<std::uintptr_t>(counter.QuadPart) << 32 ^
            static_cast<std::uintptr_t>(counter.QuadPart);
    seed ^= stackAddress;
    return seed != 0 ? seed : kUnseededGuard;
}

} // namespace

// The names the compiler's -fstack-protector code refers to.
extern "C" {

std::uintptr_t __stack_chk_guard = kUnseededGuard;

// A smashed frame ends the process at once, with the status Windows gives
// an overrun stack buffer, running nothing more of it.
[[noreturn]] void __stack_chk_fail()
{
    ::TerminateProcess(::GetCurrentProcess(), static_cast<UINT>(STATUS_STACK_BUFFER_OVERRUN));
    ::ExitProcess(static_cast<UINT>(STATUS_STACK_BUFFER_OVERRUN));
}

} // extern "C"

namespace {

// A dynamic initialiser runs before main and WinMain take their own
// canary, inside no protected frame (this file has none).
const bool kSeeded = [] {
    const int local = 0;
    __stack_chk_guard = Seed(reinterpret_cast<std::uintptr_t>(&local) ^
                             reinterpret_cast<std::uintptr_t>(&__stack_chk_guard));
    return true;
}();

} // namespace
