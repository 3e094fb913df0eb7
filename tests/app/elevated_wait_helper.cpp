// Stands in for a program the dialog waits on: it waits until the event
// named by its first argument is set, then ends with the exit code its
// second argument gives (90 when the event does not exist).
#include <windows.h>

#include <cstdlib>

namespace {

constexpr DWORD kLongestWaitMs = 60000;
constexpr int kNoEvent = 90;

} // namespace

int main(int argc, char** argv)
{
    if (argc != 3) {
        return kNoEvent;
    }
    HANDLE hEvent = ::OpenEventA(SYNCHRONIZE, FALSE, argv[1]);
    if (hEvent == nullptr) {
        return kNoEvent;
    }
    ::WaitForSingleObject(hEvent, kLongestWaitMs);
    ::CloseHandle(hEvent);
    return std::atoi(argv[2]);
}
