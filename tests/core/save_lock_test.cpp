// A save under the lock: held from before the first key opens until after
// the last closes, and no key touched at all while another save holds it.
#include "fake_save_lock.h"
#include "save_lock.h"

#include <gtest/gtest.h>

namespace {

TEST(SaveOneAtATime, HoldsTheLockAroundTheWholeSaveAndWritesNothingWhileItIsHeldElsewhere)
{
    MemoryRegistry registry;
    // One service read-only, so the save also walks its removal path.
    registry.RestrictAccess(DriverServiceList[5].parametersKey, kKeyRead);
    const DriverParameterStore store(registry);
    FakeSaveLock lock(registry);

    LockedSave saved = SaveOneAtATime(store, &lock, nullptr, 4, 3);
    EXPECT_FALSE(saved.busy);
    EXPECT_EQ(saved.report.services[5].state, ServiceSaveState::Refused);
    EXPECT_EQ(lock.acquired, 1);
    EXPECT_EQ(lock.released, 1);
    EXPECT_EQ(lock.callsWhenAcquired, 0u) << "taken before the first registry call";
    EXPECT_EQ(lock.callsWhenReleased, registry.Calls().size()) << "let go after the last";

    registry.RestrictAccess(DriverServiceList[5].parametersKey, kKeyAllAccess);
    registry.ClearCalls();
    lock.heldElsewhere = true;
    saved = SaveOneAtATime(store, &lock, nullptr, 2, 7);
    EXPECT_TRUE(saved.busy);
    EXPECT_TRUE(registry.Calls().empty()) << "a busy save touches no key";
    EXPECT_EQ(lock.released, 1) << "a lock not had is not let go";

    saved = SaveOneAtATime(store, nullptr, nullptr, 2, 7);
    EXPECT_FALSE(saved.busy);
    EXPECT_TRUE(AllWritten(saved.report.services)) << "with no lock, the save goes ahead";
}

} // namespace
