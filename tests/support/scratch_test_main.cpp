// The main of every Windows test program: the tests run with
// HKEY_LOCAL_MACHINE redirected to a scratch key.
#include "scratch_local_machine.h"

#include <gtest/gtest.h>

int main(int argc, char** argv)
{
    const ScratchLocalMachine scratch;
    ::testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}
