// A stand-in for quorin-sync.exe in the deployment scripts' tests on
// Windows: one line on stdout with its arguments, one on stderr, and the
// exit code in QUORIN_STAND_IN_EXIT. (On Linux the tests use a shell script
// that does the same.)
#include <cstdio>
#include <cstdlib>

int main(int argc, char** argv)
{
    std::fputs("stand-in stdout", stdout);
    for (int i = 1; i < argc; ++i) {
        std::printf(" %s", argv[i]);
    }
    std::fputs("\n", stdout);
    std::fputs("stand-in stderr\n", stderr);
    const char* code = std::getenv("QUORIN_STAND_IN_EXIT");
    return code != nullptr ? std::atoi(code) : 0;
}
