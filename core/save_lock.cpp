// A save held under the one lock.
#include "save_lock.h"

LockedSave SaveOneAtATime(const DriverParameterStore& store, SaveLock* lock, SaveTrail* trail,
                          std::uint32_t mode, std::int32_t framesNumber)
{
    if (lock != nullptr && !lock->Acquire()) {
        return LockedSave{true, SaveReport{}, kErrorSuccess};
    }
    const SaveReport report = ReportSave(store.Registry(), store.Save(mode, framesNumber));
    // Under the lock, so that records come in the order the saves were made.
    const RegStatus recorded =
        trail != nullptr ? trail->Write(RecordOfSave(trail->Actor(), mode, framesNumber, report))
                         : kErrorSuccess;
    if (lock != nullptr) {
        lock->Release();
    }
    return LockedSave{false, report, recorded};
}
