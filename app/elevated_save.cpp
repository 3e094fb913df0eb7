// Starting quorin-sync.exe elevated and waiting for it without freezing the
// window that asked.
#include "elevated_save.h"

#include "sync_settings.h"

#include <objbase.h>
#include <shellapi.h>

#include <utility>

namespace {

const char kConsoleProgramName[] = "quorin-sync.exe";
const char kElevateVerb[] = "runas";

// Runs the owner's messages until the process ends: it stays painted and
// its timers run, while its disabled window takes no input. A WM_QUIT met
// here is posted again for the loop it was meant for.
void WaitPumpingMessages(HANDLE hProcess)
{
    bool bQuit = false;
    WPARAM nQuitCode = 0;
    for (;;) {
        const DWORD nWait = ::MsgWaitForMultipleObjects(1, &hProcess, FALSE, INFINITE, QS_ALLINPUT);
        if (nWait != WAIT_OBJECT_0 + 1) {
            break; // the process ended, or the wait itself failed
        }
        MSG msg;
        while (::PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE)) {
            if (msg.message == WM_QUIT) {
                bQuit = true;
                nQuitCode = msg.wParam;
                continue;
            }
            ::TranslateMessage(&msg);
            ::DispatchMessageA(&msg);
        }
    }
    if (bQuit) {
        ::PostQuitMessage(static_cast<int>(nQuitCode));
    }
}

} // namespace

std::string ElevatedSetParameters(std::uint32_t mode, std::int32_t framesNumber)
{
    // The "=" forms, so that a negative frames number is not read as an option.
    return std::string("set --mode=") + SynchModeWord(mode) +
           " --frames=" + std::to_string(framesNumber);
}

std::string ShellElevatedSaver::BesideThisProgram()
{
    char szPath[MAX_PATH] = {};
    const DWORD nLength = ::GetModuleFileNameA(nullptr, szPath, MAX_PATH);
    if (nLength == 0 || nLength >= MAX_PATH) {
        return std::string();
    }
    std::string path(szPath, nLength);
    return path.substr(0, path.find_last_of("\\/") + 1) + kConsoleProgramName;
}

bool ShellElevatedSaver::Available() const
{
    const DWORD nAttributes = ::GetFileAttributesA(m_path.c_str());
    return !m_path.empty() && nAttributes != INVALID_FILE_ATTRIBUTES &&
           (nAttributes & FILE_ATTRIBUTE_DIRECTORY) == 0;
}

ElevatedSaveRun ShellElevatedSaver::Run(HWND hOwner, const std::string& parameters)
{
    // ShellExecuteEx may hand the start to shell extensions, which need COM
    // on this thread.
    const HRESULT hrCom = ::CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED | COINIT_DISABLE_OLE1DDE);
    const ElevatedSaveRun run = Start(hOwner, parameters);
    if (SUCCEEDED(hrCom)) {
        ::CoUninitialize();
    }
    return run;
}

ElevatedSaveRun ShellElevatedSaver::Start(HWND hOwner, const std::string& parameters)
{
    SHELLEXECUTEINFOA info = {};
    info.cbSize = sizeof info;
    info.fMask = SEE_MASK_NOCLOSEPROCESS | SEE_MASK_NOASYNC | SEE_MASK_FLAG_NO_UI;
    info.hwnd = hOwner; // the UAC prompt belongs to the dialog
    info.lpVerb = kElevateVerb;
    info.lpFile = m_path.c_str();
    info.lpParameters = parameters.c_str();
    info.nShow = SW_HIDE; // no console window for the few lines it prints
    if (!::ShellExecuteExA(&info)) {
        const DWORD nError = ::GetLastError();
        return {nError == ERROR_CANCELLED ? ElevatedSaveRun::Result::Declined
                                          : ElevatedSaveRun::Result::NotStarted,
                nError, 0};
    }
    if (info.hProcess == nullptr) {
        // Handed to something that gave no process to wait on: whether it
        // saved cannot be told, which is never taken for success.
        return {ElevatedSaveRun::Result::Finished, ERROR_SUCCESS, STILL_ACTIVE};
    }
    const BOOL bWasEnabled = ::IsWindowEnabled(hOwner);
    ::EnableWindow(hOwner, FALSE);
    WaitPumpingMessages(info.hProcess);
    DWORD nExitCode = 0;
    if (!::GetExitCodeProcess(info.hProcess, &nExitCode)) {
        nExitCode = STILL_ACTIVE; // its end could not be read: never taken for success
    }
    ::CloseHandle(info.hProcess);
    ::EnableWindow(hOwner, bWasEnabled);
    ::SetForegroundWindow(hOwner);
    return {ElevatedSaveRun::Result::Finished, ERROR_SUCCESS, nExitCode};
}
