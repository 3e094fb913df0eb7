// Redirects HKEY_LOCAL_MACHINE, for the whole process, to a fresh key of its
// own under HKEY_CURRENT_USER, so that nothing a test or a benchmark does can
// reach the machine's real keys, the driver services' among them, on Windows
// as under Wine. Windows builds only.
#pragma once

#include <windows.h>

class ScratchLocalMachine {
public:
    // Ends the process (exit code 3) when the redirection cannot be set up
    // and proved, rather than let anything run against the real keys.
    ScratchLocalMachine();
    // Ends the redirection and deletes the scratch key with all below it.
    ~ScratchLocalMachine();
    ScratchLocalMachine(const ScratchLocalMachine&) = delete;
    ScratchLocalMachine& operator=(const ScratchLocalMachine&) = delete;

private:
    char m_szPath[MAX_PATH];
    HKEY m_hScratch;
};
