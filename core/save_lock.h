// One save at a time: the lock that every program holds for the whole of a
// save, so that two writers (the dialog and a remediation run as SYSTEM,
// two quorin-sync set) never interleave their writes and leave the eight
// services disagreeing while both report success.
#pragma once

#include "driver_parameter_store.h"
#include "save_record.h"
#include "save_verdict.h"

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
    SaveReport report; // the judged save, when not busy
    // kErrorSuccess, or why the save's record was not kept: the save
    // stands either way.
    RegStatus recordStatus;
};

// Saves, judges the save once and records it in `trail`, with `lock` held from before the
// first key opens until the record is written; with no lock or no trail
// (null), saves without.
LockedSave SaveOneAtATime(const DriverParameterStore& store, SaveLock* lock, SaveTrail* trail,
                          std::uint32_t mode, std::int32_t framesNumber);
