// Saving as administrator: quorin-sync.exe set, started elevated, for a save
// that the dialog's own rights could not make. ElevatedSaver is the seam
// between the dialog and Windows' UAC prompt, so tests can stand in for it.
#pragma once

#include <windows.h>

#include <cstdint>
#include <string>

// How an elevated save went.
struct ElevatedSaveRun {
    enum class Result : std::uint8_t {
        Finished,   // quorin-sync ran and ended with exitCode
        Declined,   // the UAC prompt was declined (ERROR_CANCELLED)
        NotStarted, // it could not be started, for the Win32 reason in error
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
    virtual ElevatedSaveRun Run(HWND hOwner, const std::string& parameters) = 0;
};

// quorin-sync's parameters that write exactly these two values.
std::string ElevatedSetParameters(std::uint32_t mode, std::int32_t framesNumber);

// Where the package records the folder it installed into: a key under
// HKEY_LOCAL_MACHINE that only administrators and SYSTEM can write, so a
// standard user cannot point it at a folder of their own.
inline constexpr const wchar_t* kInstallationKey = L"SOFTWARE\\Quorin Medical Systems\\Quorin Sync Options";
inline constexpr const wchar_t* kInstallLocationValue = L"InstallLocation";

// The quorin-sync.exe of the installation in `installLocation`, when
// `programPath` is a program inside that very folder; empty otherwise (a
// copy elsewhere, no installation recorded). Paths compare as Windows
// compares file names, whole characters and no best fit.
std::wstring InstalledConsoleProgram(const std::wstring& programPath,
                                     const std::wstring& installLocation);

// quorin-sync.exe at a path, started with ShellExecuteEx's "runas" verb.
class ShellElevatedSaver final : public ElevatedSaver {
public:
    explicit ShellElevatedSaver(std::wstring path) : m_path(std::move(path)) {}

    // The installed quorin-sync.exe when the running program is the
    // installed dialog, else empty: only a program that an administrator
    // put in place is ever started elevated.
    static std::wstring OfThisInstallation();

    bool Available() const override;
    ElevatedSaveRun Run(HWND hOwner, const std::string& parameters) override;

private:
    // Starts the program and waits for it; Run wraps it in COM.
    ElevatedSaveRun Start(HWND hOwner, const std::string& parameters);

    std::wstring m_path;
};
