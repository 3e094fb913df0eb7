// Stands in for either program at start-up: with "restricted" it limits the
// DLL search as both programs do first thing, then loads the DLL planted
// beside it by its bare name. Exit 0: it was not loaded; 1: it was.
#include "announce_start.h"

#include <windows.h>

#include <cstring>

int main(int argc, char** argv)
{
    AnnounceStart(argv[0]);
    if (argc > 1 && std::strcmp(argv[1], "restricted") == 0) {
        ::SetDefaultDllDirectories(LOAD_LIBRARY_SEARCH_SYSTEM32);
    }
    return ::LoadLibraryW(L"quorin_planted.dll") == nullptr ? 0 : 1;
}
