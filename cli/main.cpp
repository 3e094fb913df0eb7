// quorin-sync.exe: the console program around RunCli, over the Windows
// registry.
#include "quorin_sync_cli.h"
#include "win32_registry.h"

#include <windows.h>

#include <cstdio>
#include <string>
#include <vector>

namespace {

std::string SystemStatusText(RegStatus status)
{
    char* pszText = nullptr;
    const DWORD nLength = ::FormatMessageA(
        FORMAT_MESSAGE_ALLOCATE_BUFFER | FORMAT_MESSAGE_FROM_SYSTEM | FORMAT_MESSAGE_IGNORE_INSERTS,
        nullptr, static_cast<DWORD>(status), 0, reinterpret_cast<LPSTR>(&pszText), 0, nullptr);
    std::string text = nLength != 0 && pszText != nullptr ? std::string(pszText, nLength) : "";
    ::LocalFree(pszText);
    while (!text.empty() && (text.back() == '\r' || text.back() == '\n' || text.back() == ' ' ||
                             text.back() == '.')) {
        text.pop_back();
    }
    return (text.empty() ? std::string("error") : text + ", error") + " " + std::to_string(status);
}

} // namespace

int main(int argc, char** argv)
{
    const std::vector<std::string> args(argv + 1, argv + argc);
    Win32Registry registry;
    CliOutput output;
    const int exitCode = RunCli(args, registry, output, &SystemStatusText);
    // A result that could not be written out (a closed pipe, a full disk)
    // must not pass for one that was.
    const bool written = std::fputs(output.out.c_str(), stdout) >= 0 && std::fflush(stdout) == 0;
    // Nothing is left to tell if the error stream itself fails.
    (void)std::fputs(output.err.c_str(), stderr);
    return written || exitCode != kExitOk ? exitCode : kExitFailed;
}
