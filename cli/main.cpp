// quorin-sync.exe: the console program around RunCli, over the Windows
// registry.
#include "quorin_sync_cli.h"
#include "win32_console_text.h"
#include "win32_event_log.h"
#include "win32_registry.h"
#include "win32_save_lock.h"

#include <windows.h>

#include <cstdio>
#include <string>
#include <vector>

int main(int argc, char** argv)
{
    // First of all: it runs as administrator or SYSTEM, so a DLL loaded
    // later by name comes from system32 only, never from beside a copy.
    ::SetDefaultDllDirectories(LOAD_LIBRARY_SEARCH_SYSTEM32);
    const std::vector<std::string> args(argv + 1, argv + argc);
    Win32Registry registry;
    CliOutput output;
    Win32SaveLock lock;
    Win32EventLogTrail trail;
    const int exitCode = RunCli(args, registry, output, &lock, &trail);
    // A result that could not be written where a script reads it (a closed
    // pipe, a full disk) must not pass for one that was. A console is only
    // looked at: started hidden from the dialog to save as administrator, it
    // may take no writes (seen under Wine), and the exit code alone tells.
    const DWORD outputType = ::GetFileType(::GetStdHandle(STD_OUTPUT_HANDLE));
    const bool readByAScript = outputType == FILE_TYPE_PIPE || outputType == FILE_TYPE_DISK;
    const bool written =
        (std::fputs(ForConsole(output.out).c_str(), stdout) >= 0 && std::fflush(stdout) == 0) ||
        !readByAScript;
    // Nothing is left to tell if the error stream itself fails.
    (void)std::fputs(ForConsole(output.err).c_str(), stderr);
    return written || exitCode != kExitOk ? exitCode : kExitFailed;
}
