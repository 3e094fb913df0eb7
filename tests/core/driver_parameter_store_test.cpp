// The store's load and save walks over the in-memory registry: the
// scenarios shared with the real registry, then what only the model shows
// (the calls made, in order, and a fault at any one of them).
#include "store_scenarios.h"

#include <string>
#include <vector>

INSTANTIATE_TYPED_TEST_SUITE_P(Memory, StoreOverRegistry, MemoryBackend);

namespace {

class DriverParameterStoreTest : public StoreOverRegistry<MemoryBackend> {
protected:
    MemoryRegistry& registry = backend.Model();
};

TEST(DriverServiceListTest, EightServicesInOrderWithTheirParametersKeys)
{
    const char* names[] = {"Quorin",    "QuorinDx", "QuorinRv", "QuorinM",
                           "QuorinPx7", "QuorinS",  "QuorinSv", "QuorinNq"};
    ASSERT_EQ(DriverServiceList.size(), 8u);
    for (std::size_t row = 0; row < DriverServiceList.size(); ++row) {
        EXPECT_STREQ(DriverServiceList[row].name, names[row]);
        EXPECT_EQ(std::string(DriverServiceList[row].parametersKey),
                  std::string("SYSTEM\\CurrentControlSet\\services\\") + names[row] +
                      "\\Parameters");
    }
}

TEST_F(DriverParameterStoreTest, LoadAsksForReadAccessOnly)
{
    Seed(0, 4, 3);
    registry.RestrictAccess(ParametersKeyOf(0), kKeyRead);
    const LoadResult loaded = store.Load();
    EXPECT_TRUE(loaded.found);
    EXPECT_EQ(loaded.mode, 4u);
    EXPECT_EQ(loaded.framesNumber, 3);
    for (const RegCall& call : registry.Calls()) {
        if (call.operation == RegOperation::OpenKey) {
            EXPECT_EQ(call.access, kKeyRead);
            EXPECT_EQ(call.key, kHkeyLocalMachine);
        }
    }
}

TEST_F(DriverParameterStoreTest, SaveMakesEveryKeyAskingOnlyToSetValuesAndReadsWithReadAccess)
{
    EXPECT_TRUE(AllWritten(store.Save(4, 3)));
    EXPECT_EQ(registry.CountCalls(RegOperation::CreateKey), 8u);
    EXPECT_EQ(registry.CountCalls(RegOperation::SetValue), 16u);
    EXPECT_EQ(registry.CountCalls(RegOperation::CloseKey), 16u);
    EXPECT_EQ(registry.CountCalls(RegOperation::OpenKey), 8u);
    EXPECT_EQ(registry.CountCalls(RegOperation::DeleteKey), 0u);
    for (const RegCall& call : registry.Calls()) {
        if (call.operation == RegOperation::CreateKey) {
            EXPECT_EQ(call.access, kKeySetValue) << "no more than setting values";
        }
        if (call.operation == RegOperation::OpenKey) {
            EXPECT_EQ(call.access, kKeyRead) << "the old values are only read";
        }
    }
}

TEST_F(DriverParameterStoreTest, SaveOpensAllEightKeysBeforeWritingAnyValue)
{
    store.Save(1, 2);
    const std::vector<RegCall>& calls = registry.Calls();
    ASSERT_EQ(calls.size(), 64u);
    for (std::size_t row = 0; row < kDriverServiceCount; ++row) {
        EXPECT_EQ(calls[row].operation, RegOperation::CreateKey);
        EXPECT_EQ(calls[row].name, ParametersKeyOf(row));
    }
    // Then what every service holds, before the first write.
    for (std::size_t row = 0; row < kDriverServiceCount; ++row) {
        const RegCall* rowCalls = &calls[8 + 4 * row];
        EXPECT_EQ(rowCalls[0].operation, RegOperation::OpenKey);
        EXPECT_EQ(rowCalls[0].name, ParametersKeyOf(row));
        EXPECT_EQ(rowCalls[1].operation, RegOperation::QueryValue);
        EXPECT_EQ(rowCalls[2].operation, RegOperation::QueryValue);
        EXPECT_EQ(rowCalls[3].operation, RegOperation::CloseKey);
    }
    for (std::size_t row = 0; row < kDriverServiceCount; ++row) {
        const RegCall* rowCalls = &calls[40 + 3 * row];
        EXPECT_EQ(rowCalls[0].operation, RegOperation::SetValue);
        EXPECT_EQ(rowCalls[0].name, "External synch mode");
        EXPECT_EQ(rowCalls[1].operation, RegOperation::SetValue);
        EXPECT_EQ(rowCalls[1].name, "Synch frames number");
        EXPECT_EQ(rowCalls[2].operation, RegOperation::CloseKey);
    }
}

TEST_F(DriverParameterStoreTest, KeyMadeThatCannotBeRemovedIsReported)
{
    Seed(7, 0, 1);
    registry.RestrictAccess(ParametersKeyOf(7), kKeyRead);
    // The first removal is row 1's Parameters key.
    registry.InjectFault(RegOperation::DeleteKey, 1, 1018);
    const SaveResult saved = store.Save(1, 1);
    EXPECT_EQ(saved[0].state, ServiceSaveState::EmptyKeyLeft);
    EXPECT_EQ(saved[0].status, 1018);
    EXPECT_EQ(saved[7].state, ServiceSaveState::Refused);
    EXPECT_TRUE(registry.KeyExists(ParametersKeyOf(0)));
    EXPECT_FALSE(registry.KeyExists(ParametersKeyOf(1)));
    EXPECT_EQ(registry.CountCalls(RegOperation::SetValue), 0u);
}

// A value write that fails leaves that service as far as it got and the
// save goes on: the fifth write is row 3's mode, the sixth its frames number.
TEST_F(DriverParameterStoreTest, FailedValueWriteKeepsThatServiceAsFarAsItGotAndGoesOn)
{
    struct Case {
        std::size_t failingWrite;
        ServiceSaveState state;
        std::uint32_t modeLeft;
        std::size_t writesMade;
    };
    for (const Case& c : {Case{5, ServiceSaveState::Unchanged, 1, 15}, Case{6, ServiceSaveState::ModeOnly, 2, 16}}) {
        SCOPED_TRACE(c.failingWrite);
        Seed(2, 1, 4);
        registry.ClearCalls();
        registry.InjectFault(RegOperation::SetValue, c.failingWrite, kErrorFileCorrupt);
        const SaveResult saved = store.Save(2, 9);
        EXPECT_FALSE(SaveRefused(saved));
        EXPECT_EQ(saved[2].state, c.state);
        EXPECT_EQ(saved[2].status, kErrorFileCorrupt);
        ExpectStored(2, c.modeLeft, 4);
        for (std::size_t row : {0u, 1u, 3u, 4u, 5u, 6u, 7u}) {
            EXPECT_EQ(saved[row].state, ServiceSaveState::Written) << "row " << row + 1;
            ExpectStored(row, 2, 9);
        }
        EXPECT_EQ(registry.CountCalls(RegOperation::SetValue), c.writesMade);
        EXPECT_EQ(registry.CountCalls(RegOperation::CloseKey), 16u);
    }
}

TEST_F(DriverParameterStoreTest, KeyMadeForAServiceWhoseWriteFailedIsRemovedAgain)
{
    Seed(3, 4, 6);
    // Row 1 does not exist: its key is made, its mode write fails, and a
    // key holding nothing must not become the row a load reads first.
    registry.InjectFault(RegOperation::SetValue, 1, kErrorFileCorrupt);
    const SaveResult saved = store.Save(2, 9);
    EXPECT_EQ(saved[0].state, ServiceSaveState::Unchanged);
    EXPECT_FALSE(registry.KeyExists(ServiceKeyOf(0)));
    const LoadResult loaded = store.Load();
    EXPECT_EQ(loaded.mode, 2u);
    EXPECT_EQ(loaded.framesNumber, 9);
}

TEST_F(DriverParameterStoreTest, SaveCannotCreateUnderAServicesKeyThatForbidsIt)
{
    registry.RestrictAccess(kServicesKeyPath, kKeyRead);
    const SaveResult saved = store.Save(1, 1);
    for (const ServiceSaveStatus& service : saved) {
        EXPECT_EQ(service.state, ServiceSaveState::Refused);
    }
    EXPECT_FALSE(registry.KeyExists(ParametersKeyOf(0)));
}

} // namespace
