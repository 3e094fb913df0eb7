// A small Win32 helper for the end-to-end scenarios: it reads what a person
// would see in the running tool's windows (check states, enabled controls,
// texts, the focused control), closes a window by its close box command, and
// locks or unlocks a driver service's Parameters key. It changes keys only
// under Wine (the end-to-end prefix), never on a Windows machine.
#include "announce_start.h"
#include "driver_parameter_store.h"
#include "win32_key_dacl.h"
#include "win32_save_lock.h"

#include <windows.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>

namespace {

const char* const kReadOnlyDacl = "D:P(A;;KR;;;WD)";
const char* const kFullDacl = "D:P(A;;KA;;;WD)";

HWND FindTopLevel(const char* caption)
{
    HWND hWnd = ::FindWindowA("#32770", caption);
    return hWnd != nullptr && ::IsWindowVisible(hWnd) ? hWnd : nullptr;
}

std::string Text(HWND hWnd)
{
    char buffer[1024] = {};
    ::SendMessageA(hWnd, WM_GETTEXT, sizeof buffer, reinterpret_cast<LPARAM>(buffer));
    return buffer;
}

int Usage()
{
    std::fputs("usage: probe state CAPTION | focus CAPTION | center CAPTION ID |\n"
               "       enabled CAPTION | close CAPTION | text CAPTION |\n"
               "       lock SERVICE | unlock SERVICE | hold-save-lock SECONDS\n",
               stderr);
    return 2;
}

// One line per control: id, check state, enabled, text.
int State(HWND hDlg)
{
    for (HWND hChild = ::GetWindow(hDlg, GW_CHILD); hChild != nullptr;
         hChild = ::GetWindow(hChild, GW_HWNDNEXT)) {
        const int id = ::GetDlgCtrlID(hChild);
        const LRESULT check = ::SendMessageA(hChild, BM_GETCHECK, 0, 0);
        std::printf("%d check=%ld enabled=%d text=%s\n", id, static_cast<long>(check),
                    ::IsWindowEnabled(hChild) ? 1 : 0, Text(hChild).c_str());
    }
    return 0;
}

int Focus(HWND hDlg)
{
    GUITHREADINFO info = {};
    info.cbSize = sizeof info;
    ::GetGUIThreadInfo(::GetWindowThreadProcessId(hDlg, nullptr), &info);
    std::printf("%d\n", info.hwndFocus != nullptr ? ::GetDlgCtrlID(info.hwndFocus) : 0);
    return 0;
}

int Center(HWND hDlg, int id)
{
    HWND hControl = ::GetDlgItem(hDlg, id);
    if (hControl == nullptr) {
        return 1;
    }
    RECT rect = {};
    ::GetWindowRect(hControl, &rect);
    std::printf("%ld %ld\n", static_cast<long>((rect.left + rect.right) / 2),
                static_cast<long>((rect.top + rect.bottom) / 2));
    return 0;
}

// All the static texts of a dialog or message box, joined.
int Texts(HWND hDlg)
{
    for (HWND hChild = ::GetWindow(hDlg, GW_CHILD); hChild != nullptr;
         hChild = ::GetWindow(hChild, GW_HWNDNEXT)) {
        char className[32] = {};
        ::GetClassNameA(hChild, className, sizeof className);
        if (std::strcmp(className, "Static") == 0) {
            std::printf("%s\n", Text(hChild).c_str());
        }
    }
    return 0;
}

bool UnderWine()
{
    HMODULE hNtdll = ::GetModuleHandleA("ntdll.dll");
    return hNtdll != nullptr && ::GetProcAddress(hNtdll, "wine_get_version") != nullptr;
}

int SetDacl(const char* service, const char* sddl)
{
    if (!UnderWine()) {
        std::fputs("probe: refusing to change a driver key outside Wine\n", stderr);
        return 2;
    }
    const std::string path = std::string(QUORIN_SERVICES_KEY) + service + "\\Parameters";
    return SetKeyDacl(path.c_str(), sddl) ? 0 : 1;
}

} // namespace

int main(int argc, char** argv)
{
    // Tells the harness that Wine did start this process, so that a failed
    // start can be told from a probe that answered "no".
    AnnounceStart(argv[0]);
    if (argc < 3) {
        return Usage();
    }
    const std::string command = argv[1];
    if (command == "lock") {
        return SetDacl(argv[2], kReadOnlyDacl);
    }
    if (command == "unlock") {
        return SetDacl(argv[2], kFullDacl);
    }
    if (command == "hold-save-lock") {
        // Stands in for a save that takes long: says "held" once it has the
        // programs' save lock, and keeps it for the seconds given.
        Win32SaveLock lock;
        if (!lock.Acquire()) {
            std::fputs("the save lock is held elsewhere\n", stderr);
            return 1;
        }
        std::puts("held");
        std::fflush(stdout);
        ::Sleep(static_cast<DWORD>(std::atoi(argv[2])) * 1000);
        lock.Release();
        return 0;
    }
    HWND hDlg = FindTopLevel(argv[2]);
    if (hDlg == nullptr) {
        std::fprintf(stderr, "no visible window \"%s\"\n", argv[2]);
        return 1;
    }
    if (command == "state") {
        return State(hDlg);
    }
    if (command == "focus") {
        return Focus(hDlg);
    }
    if (command == "center" && argc == 4) {
        return Center(hDlg, std::atoi(argv[3]));
    }
    if (command == "enabled") {
        std::printf("%d\n", ::IsWindowEnabled(hDlg) ? 1 : 0);
        return 0;
    }
    if (command == "text") {
        return Texts(hDlg);
    }
    if (command == "close") {
        ::PostMessageA(hDlg, WM_SYSCOMMAND, SC_CLOSE, 0);
        return 0;
    }
    return Usage();
}
