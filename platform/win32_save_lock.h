// The save lock over a named mutex in the Global namespace, shared by every
// session, so that the dialog, quorin-sync and a SYSTEM remediation all wait
// on the same one. Windows builds only.
#pragma once

#include "save_lock.h"

#include <cstdint>

// How long a save waits for another to finish; a save itself takes well
// under a second.
inline constexpr std::uint32_t kSaveLockBoundMs = 5000;

class Win32SaveLock final : public SaveLock {
public:
    explicit Win32SaveLock(std::uint32_t boundMs = kSaveLockBoundMs) : m_boundMs(boundMs) {}
    Win32SaveLock(const Win32SaveLock&) = delete;
    Win32SaveLock& operator=(const Win32SaveLock&) = delete;
    ~Win32SaveLock() override;

    bool Acquire() override;
    void Release() override;

private:
    std::uint32_t m_boundMs;
    void* m_hMutex = nullptr; // a HANDLE while held
};
