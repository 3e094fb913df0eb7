// The line that every Windows program of the project's tests prints on
// stderr first thing in main: whoever starts it under Wine can then tell a
// start that did not happen from a program that began and then failed.
#pragma once

#include <cstdio>
#include <cstring>

// Prints "NAME: started", NAME being the file name of `argv0`.
inline void AnnounceStart(const char* argv0)
{
    const char* name = argv0;
    for (const char* p = argv0; *p != '\0'; ++p) {
        if (*p == '\\' || *p == '/') {
            name = p + 1;
        }
    }
    std::fprintf(stderr, "%s: started\n", name);
    std::fflush(stderr);
}
