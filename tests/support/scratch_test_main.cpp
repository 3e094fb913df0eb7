// The main of every Windows test program: it says it has started, and the
// tests run with HKEY_LOCAL_MACHINE redirected to a scratch key.
#include "announce_start.h"
#include "scratch_local_machine.h"

#include <gtest/gtest.h>

int main(int argc, char** argv)
{
    AnnounceStart(argv[0]);
    const ScratchLocalMachine scratch;
    ::testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}
