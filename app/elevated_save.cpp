// Starting quorin-sync.exe elevated and waiting for it without freezing the
// window that asked.
#include "elevated_save.h"

#include "sync_settings.h"

#include <objbase.h>
#include <shellapi.h>

#include <cwchar>

namespace {

const wchar_t kConsoleProgramName[] = L"quorin-sync.exe";
const wchar_t kElevateVerb[] = L"runas";

// Copies `pszSource` into `path`; false (and `path` empty) when it does not fit.
bool CopyPath(WidePath& path, LPCWSTR pszSource)
{
    const std::size_t nLength = std::wcslen(pszSource);
    if (nLength >= static_cast<std::size_t>(kWidePathLength)) {
        path.text[0] = L'\0';
        return false;
    }
    std::wmemcpy(path.text, pszSource, nLength + 1);
    return true;
}

// A folder with 8.3 names spelled out and no trailing separators, so that
// one folder has one spelling; as given when it does not exist.
bool CanonicalFolder(WidePath& folder, LPCWSTR pszPath)
{
    if (!CopyPath(folder, pszPath)) {
        return false;
    }
    WidePath longPath{};
    const DWORD nLength = ::GetLongPathNameW(folder.text, longPath.text, kWidePathLength);
    if (nLength != 0 && nLength < static_cast<DWORD>(kWidePathLength)) {
        CopyPath(folder, longPath.text);
    }
    std::size_t nEnd = std::wcslen(folder.text);
    while (nEnd != 0 && (folder.text[nEnd - 1] == L'\\' || folder.text[nEnd - 1] == L'/')) {
        folder.text[--nEnd] = L'\0';
    }
    return nEnd != 0;
}

// Whether a path names a folder from a drive's root or a share's: a
// relative location would mean wherever the program was started from.
bool IsAbsolute(LPCWSTR pszPath)
{
    const bool drive = pszPath[0] != L'\0' && pszPath[1] == L':' &&
                       (pszPath[2] == L'\\' || pszPath[2] == L'/');
    const bool share = pszPath[0] == L'\\' && pszPath[1] == L'\\';
    return drive || share;
}

WidePath ReadInstallLocation()
{
    // A 64-bit program reads the 64-bit view, where the 64-bit package writes it.
    WidePath location{};
    DWORD nSize = sizeof location.text;
    if (::RegGetValueW(HKEY_LOCAL_MACHINE, kInstallationKey, kInstallLocationValue, RRF_RT_REG_SZ,
                       nullptr, location.text, &nSize) != ERROR_SUCCESS) {
        location.text[0] = L'\0'; // none, or too long to be the installation's
    }
    location.text[kWidePathLength - 1] = L'\0';
    return location;
}

// A DLL from system32 alone, loaded for as long as the object lives.
class SystemLibrary {
public:
    explicit SystemLibrary(LPCWSTR pszName)
        : m_hModule(::LoadLibraryExW(pszName, nullptr, LOAD_LIBRARY_SEARCH_SYSTEM32))
    {
    }
    SystemLibrary(const SystemLibrary&) = delete;
    SystemLibrary& operator=(const SystemLibrary&) = delete;
    ~SystemLibrary()
    {
        if (m_hModule != nullptr) {
            ::FreeLibrary(m_hModule);
        }
    }

    // The function of that name, of type Function, or null.
    template <typename Function>
    Function Find(LPCSTR pszName) const
    {
        if (m_hModule == nullptr) {
            return nullptr;
        }
        // Through a plain function pointer, as Windows hands out every export.
        return reinterpret_cast<Function>(
            reinterpret_cast<void (*)()>(::GetProcAddress(m_hModule, pszName)));
    }

private:
    HMODULE m_hModule;
};

using CoInitializeExFunction = HRESULT(WINAPI*)(LPVOID, DWORD);
using CoUninitializeFunction = void(WINAPI*)();

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

CString ElevatedSetParameters(std::uint32_t mode, std::int32_t framesNumber)
{
    // The "=" forms, so that a negative frames number is not read as an option.
    CString parameters;
    parameters.Format("set --mode=%s --frames=%ld", SynchModeWord(mode),
                      static_cast<long>(framesNumber));
    return parameters;
}

WidePath InstalledConsoleProgram(LPCWSTR pszProgramPath, LPCWSTR pszInstallLocation)
{
    WidePath program{};
    if (!IsAbsolute(pszInstallLocation) || !IsAbsolute(pszProgramPath)) {
        return program;
    }
    WidePath programFolder{};
    if (!CopyPath(programFolder, pszProgramPath)) {
        return program;
    }
    LPWSTR pszName = std::wcsrchr(programFolder.text, L'\\');
    LPWSTR pszSlashName = std::wcsrchr(programFolder.text, L'/');
    if (pszSlashName != nullptr && (pszName == nullptr || pszSlashName > pszName)) {
        pszName = pszSlashName;
    }
    if (pszName == nullptr) {
        return program;
    }
    *pszName = L'\0';
    WidePath installFolder{};
    if (!CanonicalFolder(programFolder, programFolder.text) ||
        !CanonicalFolder(installFolder, pszInstallLocation)) {
        return program;
    }
    // File names compare ordinally, ignoring case as the file system does.
    if (::CompareStringOrdinal(programFolder.text, -1, installFolder.text, -1, TRUE) !=
        CSTR_EQUAL) {
        return program;
    }
    const std::size_t nFolder = std::wcslen(installFolder.text);
    const std::size_t nName = std::wcslen(kConsoleProgramName);
    if (nFolder + 1 + nName >= static_cast<std::size_t>(kWidePathLength)) {
        return program;
    }
    std::wmemcpy(program.text, installFolder.text, nFolder);
    program.text[nFolder] = L'\\';
    std::wmemcpy(program.text + nFolder + 1, kConsoleProgramName, nName + 1);
    return program;
}

WidePath ShellElevatedSaver::OfThisInstallation()
{
    WidePath path{};
    const DWORD nLength = ::GetModuleFileNameW(nullptr, path.text, kWidePathLength);
    if (nLength == 0 || nLength >= static_cast<DWORD>(kWidePathLength)) {
        return WidePath{};
    }
    const WidePath location = ReadInstallLocation();
    return InstalledConsoleProgram(path.text, location.text);
}

const WidePath& ShellElevatedSaver::Path() const
{
    if (!m_bFound) {
        m_path = OfThisInstallation();
        m_bFound = true;
    }
    return m_path;
}

bool ShellElevatedSaver::Available() const
{
    const WidePath& path = Path();
    if (path.text[0] == L'\0') {
        return false;
    }
    const DWORD nAttributes = ::GetFileAttributesW(path.text);
    return nAttributes != INVALID_FILE_ATTRIBUTES && (nAttributes & FILE_ATTRIBUTE_DIRECTORY) == 0;
}

ElevatedSaveRun ShellElevatedSaver::Run(HWND hOwner, LPCSTR pszParameters)
{
    // COM and the shell are loaded from system32 for this alone, so that no
    // other start of the program pays for them.
    SystemLibrary ole32(L"ole32.dll");
    SystemLibrary shell32(L"shell32.dll");
    const auto pCoInitializeEx = ole32.Find<CoInitializeExFunction>("CoInitializeEx");
    const auto pCoUninitialize = ole32.Find<CoUninitializeFunction>("CoUninitialize");
    const auto pShellExecuteEx = shell32.Find<ShellExecuteExFunction>("ShellExecuteExW");
    if (pCoInitializeEx == nullptr || pCoUninitialize == nullptr || pShellExecuteEx == nullptr) {
        const DWORD nError = ::GetLastError();
        return {ElevatedSaveRun::Result::NotStarted, nError != ERROR_SUCCESS ? nError : ERROR_MOD_NOT_FOUND, 0};
    }
    // ShellExecuteEx may hand the start to shell extensions, which need COM
    // on this thread.
    const HRESULT hrCom = pCoInitializeEx(nullptr, COINIT_APARTMENTTHREADED | COINIT_DISABLE_OLE1DDE);
    const ElevatedSaveRun run = Start(hOwner, pszParameters, pShellExecuteEx);
    if (SUCCEEDED(hrCom)) {
        pCoUninitialize();
    }
    return run;
}

ElevatedSaveRun ShellElevatedSaver::Start(HWND hOwner, LPCSTR pszParameters,
                                          ShellExecuteExFunction pShellExecuteEx)
{
    // The parameters are quorin-sync's own words and numbers: ASCII.
    WidePath wideParameters{};
    for (int i = 0; i < kWidePathLength - 1 && pszParameters[i] != '\0'; ++i) {
        wideParameters.text[i] = static_cast<wchar_t>(static_cast<unsigned char>(pszParameters[i]));
    }
    SHELLEXECUTEINFOW info = {};
    info.cbSize = sizeof info;
    info.fMask = SEE_MASK_NOCLOSEPROCESS | SEE_MASK_NOASYNC | SEE_MASK_FLAG_NO_UI;
    info.hwnd = hOwner; // the UAC prompt belongs to the dialog
    info.lpVerb = kElevateVerb;
    info.lpFile = Path().text;
    info.lpParameters = wideParameters.text;
    info.nShow = SW_HIDE; // no console window for the few lines it prints
    if (!pShellExecuteEx(&info)) {
        const DWORD nError = ::GetLastError();
        return {nError == ERROR_CANCELLED ? ElevatedSaveRun::Result::Declined
                                          : ElevatedSaveRun::Result::NotStarted,
                nError, 0};
    }
    if (info.hProcess == nullptr) {
        // Handed to something that gave no process to wait on: whether it
        // saved cannot be told, which is never taken for success.
        return {ElevatedSaveRun::Result::EndUnknown, ERROR_SUCCESS, 0};
    }
    const BOOL bWasEnabled = ::IsWindowEnabled(hOwner);
    ::EnableWindow(hOwner, FALSE);
    WaitPumpingMessages(info.hProcess);
    DWORD nExitCode = 0;
    const BOOL bEndRead = ::GetExitCodeProcess(info.hProcess, &nExitCode) && nExitCode != STILL_ACTIVE;
    const DWORD nError = bEndRead ? ERROR_SUCCESS : ::GetLastError();
    ::CloseHandle(info.hProcess);
    ::EnableWindow(hOwner, bWasEnabled);
    ::SetForegroundWindow(hOwner);
    if (!bEndRead) {
        // Its end could not be read: never taken for success.
        return {ElevatedSaveRun::Result::EndUnknown, nError, 0};
    }
    return {ElevatedSaveRun::Result::Finished, ERROR_SUCCESS, nExitCode};
}
