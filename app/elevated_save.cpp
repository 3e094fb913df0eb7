// Starting quorin-sync.exe elevated and waiting for it without freezing the
// window that asked.
#include "elevated_save.h"

#include "sync_settings.h"

#include <objbase.h>
#include <shellapi.h>

#include <climits>
#include <cwchar>
#include <string>
#include <utility>

namespace {

const wchar_t kConsoleProgramName[] = L"quorin-sync.exe";
const wchar_t kElevateVerb[] = L"runas";
// Long enough for any path Windows gives back, \\?\ paths included.
constexpr DWORD kLongPathLength = 32768;

// A path with 8.3 names spelled out and no trailing separators, so that one
// folder has one spelling; as given when it does not exist.
std::wstring Canonical(const std::wstring& path)
{
    std::wstring result = path;
    std::wstring buffer(kLongPathLength, L'\0');
    const DWORD nLength = ::GetLongPathNameW(path.c_str(), &buffer[0], kLongPathLength);
    if (nLength != 0 && nLength < kLongPathLength) {
        result.assign(buffer.c_str(), nLength);
    }
    while (!result.empty() && (result.back() == L'\\' || result.back() == L'/')) {
        result.pop_back();
    }
    return result;
}

// Whether a path names a folder from a drive's root or a share's: a
// relative location would mean wherever the program was started from.
bool IsAbsolute(const std::wstring& path)
{
    const bool drive = path.size() >= 3 && path[1] == L':' && (path[2] == L'\\' || path[2] == L'/');
    const bool share = path.size() >= 2 && path[0] == L'\\' && path[1] == L'\\';
    return drive || share;
}

std::wstring ReadInstallLocation()
{
    // A 64-bit program reads the 64-bit view, where the 64-bit package writes it.
    DWORD nBytes = 0;
    LONG status = ::RegGetValueW(HKEY_LOCAL_MACHINE, kInstallationKey, kInstallLocationValue,
                                 RRF_RT_REG_SZ, nullptr, nullptr, &nBytes);
    if (status != ERROR_SUCCESS || nBytes == 0) {
        return std::wstring();
    }
    std::wstring location(nBytes / sizeof(wchar_t) + 1, L'\0');
    DWORD nSize = static_cast<DWORD>(location.size() * sizeof(wchar_t));
    status = ::RegGetValueW(HKEY_LOCAL_MACHINE, kInstallationKey, kInstallLocationValue,
                            RRF_RT_REG_SZ, nullptr, &location[0], &nSize);
    if (status != ERROR_SUCCESS) {
        return std::wstring();
    }
    location.resize(std::wcslen(location.c_str()));
    return location;
}

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

std::wstring InstalledConsoleProgram(const std::wstring& programPath,
                                     const std::wstring& installLocation)
{
    if (!IsAbsolute(installLocation) || !IsAbsolute(programPath)) {
        return std::wstring();
    }
    const std::size_t nSeparator = programPath.find_last_of(L"\\/");
    const std::wstring programFolder = Canonical(programPath.substr(0, nSeparator));
    const std::wstring installFolder = Canonical(installLocation);
    if (installFolder.empty() || programFolder.size() != installFolder.size() ||
        programFolder.size() > static_cast<std::size_t>(INT_MAX)) {
        return std::wstring();
    }
    const int nLength = static_cast<int>(programFolder.size());
    // File names compare ordinally, ignoring case as the file system does.
    if (::CompareStringOrdinal(programFolder.c_str(), nLength, installFolder.c_str(), nLength,
                               TRUE) != CSTR_EQUAL) {
        return std::wstring();
    }
    return installFolder + L"\\" + kConsoleProgramName;
}

std::wstring ShellElevatedSaver::OfThisInstallation()
{
    std::wstring path(kLongPathLength, L'\0');
    const DWORD nLength = ::GetModuleFileNameW(nullptr, &path[0], kLongPathLength);
    if (nLength == 0 || nLength >= kLongPathLength) {
        return std::wstring();
    }
    path.resize(nLength);
    return InstalledConsoleProgram(path, ReadInstallLocation());
}

bool ShellElevatedSaver::Available() const
{
    if (m_path.empty()) {
        return false;
    }
    const DWORD nAttributes = ::GetFileAttributesW(m_path.c_str());
    return nAttributes != INVALID_FILE_ATTRIBUTES && (nAttributes & FILE_ATTRIBUTE_DIRECTORY) == 0;
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
    // The parameters are quorin-sync's own words and numbers: ASCII.
    const std::wstring wideParameters(parameters.begin(), parameters.end());
    SHELLEXECUTEINFOW info = {};
    info.cbSize = sizeof info;
    info.fMask = SEE_MASK_NOCLOSEPROCESS | SEE_MASK_NOASYNC | SEE_MASK_FLAG_NO_UI;
    info.hwnd = hOwner; // the UAC prompt belongs to the dialog
    info.lpVerb = kElevateVerb;
    info.lpFile = m_path.c_str();
    info.lpParameters = wideParameters.c_str();
    info.nShow = SW_HIDE; // no console window for the few lines it prints
    if (!::ShellExecuteExW(&info)) {
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
