// One save at a time: the lock that every program holds for the whole of a
// save, so that two writers (the dialog and a remediation run as SYSTEM,
// two quorin-sync set) never interleave their writes and leave the eight
// services disagreeing while both report success.
#pragma once

#include "driver_parameter_store.h"

class SaveLock {
public:
    virtual ~SaveLock() = default;

    // Waits a bounded time for the lock; false when the save must not go
    // ahead (another save still holds it, or it cannot be waited on).
    virtual bool Acquire() = 0;
    virtual void Release() = 0;

protected:
    SaveLock() = default;
    SaveLock(const SaveLock&) = default;
    SaveLock& operator=(const SaveLock&) = default;
};

// A save made under the lock.
struct LockedSave {
    bool busy;         // the lock was not had, so nothing was written
    SaveResult result; // the save's per-service results, when not busy
};

// Saves with `lock` held from before the first key opens until after the
// last closes; with no lock (null), saves as it is.
LockedSave SaveOneAtATime(const DriverParameterStore& store, SaveLock* lock, std::uint32_t mode,
                          std::int32_t framesNumber);
