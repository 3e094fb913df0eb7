// The Global mutex behind the save lock.
#include "win32_save_lock.h"

#include <windows.h>
#include <sddl.h>

namespace {

const wchar_t kMutexName[] = L"Global\\Quorin Sync Options save";
// SYSTEM and Administrators everything; any signed-in user may wait on it
// and release it (a group granted Set Value on the keys saves too), but not
// change its permissions.
const wchar_t kMutexSddl[] = L"D:P(A;;GA;;;SY)(A;;GA;;;BA)(A;;0x100001;;;AU)";
constexpr DWORD kWaitAccess = SYNCHRONIZE | MUTEX_MODIFY_STATE;

HANDLE OpenOrCreateMutex()
{
    PSECURITY_DESCRIPTOR pDescriptor = nullptr;
    SECURITY_ATTRIBUTES attributes = {sizeof attributes, nullptr, FALSE};
    if (::ConvertStringSecurityDescriptorToSecurityDescriptorW(kMutexSddl, SDDL_REVISION_1,
                                                               &pDescriptor, nullptr)) {
        attributes.lpSecurityDescriptor = pDescriptor;
    }
    HANDLE hMutex = ::CreateMutexW(&attributes, FALSE, kMutexName);
    if (hMutex == nullptr && ::GetLastError() == ERROR_ACCESS_DENIED) {
        // Creating a Global object needs a privilege standard users lack;
        // opening one that exists does not.
        hMutex = ::OpenMutexW(kWaitAccess, FALSE, kMutexName);
        if (hMutex == nullptr && ::GetLastError() == ERROR_FILE_NOT_FOUND) {
            // None exists, so no save holds it now: this one may go ahead,
            // unlocked (it cannot make the mutex for the next one).
            hMutex = INVALID_HANDLE_VALUE;
        }
    }
    ::LocalFree(pDescriptor);
    return hMutex;
}

} // namespace

Win32SaveLock::~Win32SaveLock()
{
    Release();
}

bool Win32SaveLock::Acquire()
{
    HANDLE hMutex = OpenOrCreateMutex();
    if (hMutex == nullptr) {
        // It exists and denies this process (made first by someone else with
        // other permissions): waiting on it is impossible, so no save.
        return false;
    }
    if (hMutex == INVALID_HANDLE_VALUE) {
        m_hMutex = hMutex;
        return true;
    }
    // An abandoned mutex is had too: its holder ended, mid-save or not, and
    // this save writes all eight again.
    const DWORD nWait = ::WaitForSingleObject(hMutex, m_boundMs);
    if (nWait != WAIT_OBJECT_0 && nWait != WAIT_ABANDONED) {
        ::CloseHandle(hMutex);
        return false;
    }
    m_hMutex = hMutex;
    return true;
}

void Win32SaveLock::Release()
{
    if (m_hMutex == nullptr) {
        return;
    }
    if (m_hMutex != INVALID_HANDLE_VALUE) {
        ::ReleaseMutex(m_hMutex);
        ::CloseHandle(m_hMutex);
    }
    m_hMutex = nullptr;
}
