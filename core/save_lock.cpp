// A save held under the one lock.
#include "save_lock.h"

LockedSave SaveOneAtATime(const DriverParameterStore& store, SaveLock* lock, std::uint32_t mode,
                          std::int32_t framesNumber)
{
    if (lock != nullptr && !lock->Acquire()) {
        return LockedSave{true, SaveResult{}};
    }
    const SaveResult result = store.Save(mode, framesNumber);
    if (lock != nullptr) {
        lock->Release();
    }
    return LockedSave{false, result};
}
