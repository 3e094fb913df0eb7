// Saving as administrator: quorin-sync.exe set, started elevated, for a save
// that the dialog's own rights could not make. ElevatedSaver is the seam
// between the dialog and Windows' UAC prompt, so tests can stand in for it.
#pragma once

#include <afxwin.h>
#include <shellapi.h>

#include <cstdint>

// How an elevated save went.
struct ElevatedSaveRun {
    enum class Result : std::uint8_t {
        Finished,   // quorin-sync ran and ended with exitCode
        Declined,   // the UAC prompt was declined (ERROR_CANCELLED)
        NotStarted, // it could not be started, for the Win32 reason in error
        EndUnknown, // it was started, but no process came back to wait on or
                    // its end could not be read: whether it saved is unknown
    };
    Result result;
    DWORD error;
    DWORD exitCode;
};

class ElevatedSaver {
public:
    ElevatedSaver() = default;
    ElevatedSaver(const ElevatedSaver&) = delete;
    ElevatedSaver& operator=(const ElevatedSaver&) = delete;
    virtual ~ElevatedSaver() = default;

    // Whether the program that saves elevated is there to start.
    virtual bool Available() const = 0;
    // Starts it elevated with `parameters` and waits for it to end; `hOwner`
    // keeps being painted meanwhile, but takes no input.
    virtual ElevatedSaveRun Run(HWND hOwner, LPCSTR pszParameters) = 0;
};

// quorin-sync's parameters that write exactly these two values.
CString ElevatedSetParameters(std::uint32_t mode, std::int32_t framesNumber);

// A file path, held in place. Longer than any installation folder: a path
// that does not fit is never taken for the installation's.
inline constexpr int kWidePathLength = 1024;
struct WidePath {
    wchar_t text[kWidePathLength]; // empty when there is no such path
};

// Where the package records the folder it installed into: a key under
// HKEY_LOCAL_MACHINE that only administrators and SYSTEM can write, so a
// standard user cannot point it at a folder of their own.
inline constexpr const wchar_t* kInstallationKey = L"SOFTWARE\\Quorin Medical Systems\\Quorin Sync Options";
inline constexpr const wchar_t* kInstallLocationValue = L"InstallLocation";

// The quorin-sync.exe of the installation in `installLocation`, when
// `programPath` is a program inside that very folder; empty otherwise (a
// copy elsewhere, no installation recorded). Paths compare as Windows
// compares file names, whole characters and no best fit.
WidePath InstalledConsoleProgram(LPCWSTR pszProgramPath, LPCWSTR pszInstallLocation);

// quorin-sync.exe at a path, started with ShellExecuteEx's "runas" verb.
class ShellElevatedSaver final : public ElevatedSaver {
public:
    // The installed quorin-sync.exe (OfThisInstallation), looked for when a
    // save as administrator first comes into question, not at every start.
    ShellElevatedSaver() : m_path{}, m_bFound(false) {}
    explicit ShellElevatedSaver(const WidePath& path) : m_path(path), m_bFound(true) {}

    // The installed quorin-sync.exe when the running program is the
    // installed dialog, else empty: only a program that an administrator
    // put in place is ever started elevated.
    static WidePath OfThisInstallation();

    bool Available() const override;
    ElevatedSaveRun Run(HWND hOwner, LPCSTR pszParameters) override;

private:
    using ShellExecuteExFunction = BOOL(WINAPI*)(SHELLEXECUTEINFOW*);

    // Starts the program and waits for it; Run loads the shell and wraps
    // this in COM.
    ElevatedSaveRun Start(HWND hOwner, LPCSTR pszParameters, ShellExecuteExFunction pShellExecuteEx);

    const WidePath& Path() const;

    mutable WidePath m_path;
    mutable bool m_bFound;
};
