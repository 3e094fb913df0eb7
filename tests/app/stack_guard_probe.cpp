// The programs' own stack guard, in a program built as they are: seeded at
// start (not left at its unseeded value, and not the same in two processes),
// and a frame whose buffer overruns its canary ends the process with
// STATUS_STACK_BUFFER_OVERRUN before it returns. Exit 0 when all holds.
//
// usage: stack_guard_probe            (the test; starts itself twice)
//        stack_guard_probe guard      (exits with its guard's low 32 bits)
//        stack_guard_probe overrun N  (writes N bytes into a 16-byte buffer)
#include "announce_start.h"

#include <windows.h>

#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>

extern "C" std::uintptr_t __stack_chk_guard;

namespace {

constexpr std::uintptr_t kUnseededGuard = 0x2B992DDFA232;
constexpr std::size_t kBufferSize = 16;

// Fills a buffer of its own through a pointer the compiler cannot see past.
int Overrun(std::size_t count)
{
    char buffer[kBufferSize] = {};
    char* volatile pBuffer = buffer;
    for (std::size_t i = 0; i < count; ++i) {
        pBuffer[i] = 'x';
    }
    return pBuffer[0];
}

DWORD RunSelf(const char* pszArguments)
{
    char path[MAX_PATH] = {};
    ::GetModuleFileNameA(nullptr, path, MAX_PATH);
    char commandLine[2 * MAX_PATH] = {};
    std::snprintf(commandLine, sizeof commandLine, "\"%s\" %s", path, pszArguments);
    STARTUPINFOA startup = {};
    startup.cb = sizeof startup;
    PROCESS_INFORMATION process = {};
    if (!::CreateProcessA(nullptr, commandLine, nullptr, nullptr, FALSE, 0, nullptr, nullptr,
                          &startup, &process)) {
        return 0;
    }
    ::WaitForSingleObject(process.hProcess, INFINITE);
    DWORD exitCode = 0;
    ::GetExitCodeProcess(process.hProcess, &exitCode);
    ::CloseHandle(process.hThread);
    ::CloseHandle(process.hProcess);
    return exitCode;
}

} // namespace

int main(int argc, char** argv)
{
    if (argc == 2 && std::strcmp(argv[1], "guard") == 0) {
        return static_cast<int>(static_cast<std::uint32_t>(__stack_chk_guard));
    }
    if (argc == 3 && std::strcmp(argv[1], "overrun") == 0) {
        return Overrun(std::strtoul(argv[2], nullptr, 10)) == 'x' ? 0 : 1;
    }
    AnnounceStart(argv[0]);
    int failures = 0;
    if (__stack_chk_guard == kUnseededGuard || __stack_chk_guard == 0) {
        std::puts("the guard was never seeded");
        ++failures;
    }
    if (RunSelf("guard") == static_cast<std::uint32_t>(__stack_chk_guard)) {
        std::puts("two processes have the same guard");
        ++failures;
    }
    if (RunSelf("overrun 8") != 0) {
        std::puts("a write within the buffer did not return normally");
        ++failures;
    }
    const DWORD overrun = RunSelf("overrun 64");
    if (overrun != static_cast<DWORD>(STATUS_STACK_BUFFER_OVERRUN)) {
        std::printf("an overrun buffer ended the process with 0x%08lx\n", overrun);
        ++failures;
    }
    return failures == 0 ? 0 : 1;
}
