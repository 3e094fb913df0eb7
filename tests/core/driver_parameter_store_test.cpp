// The store's load and save walks over the in-memory registry.
#include "driver_parameter_store.h"
#include "memory_registry.h"
#include "sync_settings.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace {

const char* KeyOf(std::size_t row)
{
    return DriverServiceList[row].parametersKey;
}

class DriverParameterStoreTest : public ::testing::Test {
protected:
    void Seed(std::size_t row, std::uint32_t mode, std::int32_t frames)
    {
        registry.SetDword(KeyOf(row), kExternalSynchModeValueName, mode);
        registry.SetDword(KeyOf(row), kSynchFramesNumberValueName,
                          static_cast<std::uint32_t>(frames));
    }

    // The rows whose keys the walk tried to open, in order.
    std::vector<std::string> OpenedPaths() const
    {
        std::vector<std::string> paths;
        for (const RegCall& call : registry.Calls()) {
            if (call.operation == RegOperation::OpenKey ||
                call.operation == RegOperation::CreateKey) {
                paths.push_back(call.name);
            }
        }
        return paths;
    }

    void ExpectStored(std::size_t row, std::uint32_t mode, std::int32_t frames) const
    {
        const RegValue* storedMode = registry.FindValue(KeyOf(row), kExternalSynchModeValueName);
        const RegValue* storedFrames =
            registry.FindValue(KeyOf(row), kSynchFramesNumberValueName);
        ASSERT_NE(storedMode, nullptr) << "row " << row + 1;
        ASSERT_NE(storedFrames, nullptr) << "row " << row + 1;
        EXPECT_EQ(storedMode->type, kRegDword);
        EXPECT_EQ(storedMode->data, DwordBytes(mode)) << "row " << row + 1;
        EXPECT_EQ(storedFrames->type, kRegDword);
        EXPECT_EQ(storedFrames->data, DwordBytes(static_cast<std::uint32_t>(frames)))
            << "row " << row + 1;
    }

    void TearDown() override
    {
        EXPECT_EQ(registry.OpenKeyCount(), 0u) << "a key handle was left open";
    }

    MemoryRegistry registry;
    DriverParameterStore store{registry};
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

TEST_F(DriverParameterStoreTest, LoadFindsNothingWhenNoServiceKeyExists)
{
    EXPECT_FALSE(store.Load().found);
    EXPECT_EQ(OpenedPaths().size(), 8u);
}

TEST_F(DriverParameterStoreTest, LoadTakesTheFirstRowThatOpensAndStopsThere)
{
    Seed(1, 2, 20);
    Seed(2, 4, 30);
    const LoadResult loaded = store.Load();
    EXPECT_TRUE(loaded.found);
    EXPECT_EQ(loaded.mode, 2u);
    EXPECT_EQ(loaded.framesNumber, 20);
    EXPECT_EQ(OpenedPaths(), (std::vector<std::string>{KeyOf(0), KeyOf(1)}));
}

TEST_F(DriverParameterStoreTest, LoadPrefersRowOneOverLaterRows)
{
    Seed(0, 1, 7);
    Seed(2, 4, 9);
    const LoadResult loaded = store.Load();
    EXPECT_EQ(loaded.mode, 1u);
    EXPECT_EQ(loaded.framesNumber, 7);
    EXPECT_EQ(OpenedPaths(), std::vector<std::string>{KeyOf(0)});
    EXPECT_EQ(registry.Calls().size(), 4u); // open, two queries, close
}

TEST_F(DriverParameterStoreTest, LoadOfAKeyFromRowFourOnly)
{
    Seed(3, 2, 5);
    const LoadResult loaded = store.Load();
    EXPECT_TRUE(loaded.found);
    EXPECT_EQ(loaded.mode, 2u);
    EXPECT_EQ(loaded.framesNumber, 5);
    EXPECT_EQ(OpenedPaths().size(), 4u);
}

TEST_F(DriverParameterStoreTest, LoadMatchesKeyNamesWhateverTheirCase)
{
    registry.SetDword("system\\currentcontrolset\\SERVICES\\quorin\\parameters",
                      "external SYNCH mode", 4);
    const LoadResult loaded = store.Load();
    EXPECT_TRUE(loaded.found);
    EXPECT_EQ(loaded.mode, 4u);
}

TEST_F(DriverParameterStoreTest, LoadGivesDefaultsForMissingValues)
{
    registry.CreateKey(KeyOf(1));
    const LoadResult loaded = store.Load();
    EXPECT_TRUE(loaded.found);
    EXPECT_EQ(loaded.mode, 0u);
    EXPECT_EQ(loaded.framesNumber, 1);
    // A service read alone: a missing key, and a key without the values,
    // hold nothing that was read, and no value at all.
    for (std::size_t row : {0u, 1u}) {
        const ServiceReading reading = store.ReadService(row);
        EXPECT_EQ(reading.found, row == 1) << row;
        EXPECT_FALSE(reading.modeRead || reading.framesRead) << row;
        EXPECT_FALSE(reading.modeShape.present || reading.framesShape.present) << row;
        EXPECT_EQ(reading.mode, 0u);
        EXPECT_EQ(reading.framesNumber, 1);
    }
}

TEST_F(DriverParameterStoreTest, LoadGivesDefaultsForDataLongerThanFourBytes)
{
    registry.SetValue(KeyOf(0), kExternalSynchModeValueName, kRegQword,
                      {4, 0, 0, 0, 0, 0, 0, 0});
    registry.SetValue(KeyOf(0), kSynchFramesNumberValueName, kRegBinary, {9, 0, 0, 0, 0});
    const LoadResult loaded = store.Load();
    EXPECT_TRUE(loaded.found);
    EXPECT_EQ(loaded.mode, 0u);
    EXPECT_EQ(loaded.framesNumber, 1);
}

TEST_F(DriverParameterStoreTest, LoadLaysShortDataOverTheDefaultWhateverItsType)
{
    // One byte over the default 1 (01 00 00 00) replaces only the first byte;
    // two bytes 00 01 give 00 01 00 00; a string "4" is the bytes 34 00.
    registry.SetValue(KeyOf(0), kExternalSynchModeValueName, kRegBinary, {4});
    registry.SetValue(KeyOf(0), kSynchFramesNumberValueName, kRegBinary, {0, 1});
    LoadResult loaded = store.Load();
    EXPECT_EQ(loaded.mode, 4u);
    EXPECT_EQ(loaded.framesNumber, 256);

    registry.SetValue(KeyOf(0), kSynchFramesNumberValueName, kRegSz, {'4', 0});
    loaded = store.Load();
    EXPECT_EQ(loaded.framesNumber, 0x34);
}

TEST_F(DriverParameterStoreTest, LoadReadsNegativeFramesAsSigned)
{
    Seed(0, 0, -3);
    EXPECT_EQ(store.Load().framesNumber, -3);
}

TEST_F(DriverParameterStoreTest, LoadAsksForReadAccessOnly)
{
    Seed(0, 4, 3);
    registry.RestrictAccess(KeyOf(0), kKeyRead);
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

TEST_F(DriverParameterStoreTest, LoadSkipsAKeyThatDeniesReading)
{
    Seed(0, 4, 3);
    Seed(1, 2, 8);
    registry.RestrictAccess(KeyOf(0), 0);
    const LoadResult loaded = store.Load();
    EXPECT_EQ(loaded.mode, 2u);
    EXPECT_EQ(loaded.framesNumber, 8);
}

TEST_F(DriverParameterStoreTest, SaveCreatesEveryServiceKeyWithBothValues)
{
    const SaveResult saved = store.Save(4, 3);
    EXPECT_TRUE(AllWritten(saved));
    EXPECT_FALSE(SaveRefused(saved));
    for (std::size_t row = 0; row < kDriverServiceCount; ++row) {
        ExpectStored(row, 4, 3);
        EXPECT_EQ(saved[row].state, ServiceSaveState::Written);
        EXPECT_EQ(saved[row].status, 0);
        // Read after the key was made: there, holding neither value.
        EXPECT_TRUE(saved[row].before.found);
        EXPECT_FALSE(saved[row].before.modeShape.present);
        EXPECT_FALSE(saved[row].before.framesShape.present);
    }
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
        EXPECT_EQ(calls[row].name, KeyOf(row));
    }
    // Then what every service holds, before the first write.
    for (std::size_t row = 0; row < kDriverServiceCount; ++row) {
        const RegCall* rowCalls = &calls[8 + 4 * row];
        EXPECT_EQ(rowCalls[0].operation, RegOperation::OpenKey);
        EXPECT_EQ(rowCalls[0].name, KeyOf(row));
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

TEST_F(DriverParameterStoreTest, SaveThenLoadGivesBackWhatWasSaved)
{
    EXPECT_FALSE(store.Load().found);
    store.Save(2, -3);
    ExpectStored(7, 2, -3);
    const LoadResult loaded = store.Load();
    EXPECT_TRUE(loaded.found);
    EXPECT_EQ(loaded.mode, 2u);
    EXPECT_EQ(loaded.framesNumber, -3);
}

TEST_F(DriverParameterStoreTest, SaveChangesTheTwoValuesAndNothingElse)
{
    const std::string serviceKey = "SYSTEM\\CurrentControlSet\\services\\QuorinM";
    registry.SetValue(serviceKey, "ImagePath", kRegSz, {'q', 0});
    registry.SetDword(KeyOf(3), "Other", 77);
    registry.SetDword(KeyOf(3), kExternalSynchModeValueName, 1);
    registry.CreateKey(std::string(KeyOf(3)) + "\\Sub");
    store.Save(0, 12);
    ExpectStored(3, 0, 12);
    EXPECT_EQ(registry.FindValue(serviceKey, "ImagePath")->data,
              (std::vector<unsigned char>{'q', 0}));
    EXPECT_EQ(registry.FindValue(KeyOf(3), "Other")->data, DwordBytes(77));
    EXPECT_EQ(registry.ValueNames(KeyOf(3)),
              (std::vector<std::string>{"Other", kExternalSynchModeValueName,
                                        kSynchFramesNumberValueName}));
    EXPECT_EQ(registry.SubKeyNames(KeyOf(3)), std::vector<std::string>{"Sub"});
    EXPECT_EQ(registry.SubKeyNames(serviceKey), std::vector<std::string>{"Parameters"});
}

// Rows 2, 5 and 7 exist and refuse writing; row 4 exists and is writable;
// the rest do not exist, so the save makes their keys before it learns of
// the refusals.
TEST_F(DriverParameterStoreTest, PartialRefusalLeavesEveryKeyAsItWasAndNamesTheRefusers)
{
    registry.SetValue("SYSTEM\\CurrentControlSet\\services\\QuorinM", "ImagePath", kRegSz, {'m', 0});
    Seed(3, 2, 5);
    for (std::size_t row : {1u, 4u, 6u}) {
        Seed(row, 1, 7);
        registry.RestrictAccess(KeyOf(row), kKeyRead);
    }
    const std::vector<std::string> before = registry.Dump();
    const LoadResult loadedBefore = store.Load();

    const SaveResult saved = store.Save(4, 3);
    EXPECT_TRUE(SaveRefused(saved));
    EXPECT_FALSE(AllWritten(saved));
    for (std::size_t row = 0; row < kDriverServiceCount; ++row) {
        const bool refuser = row == 1 || row == 4 || row == 6;
        EXPECT_EQ(saved[row].state, refuser ? ServiceSaveState::Refused : ServiceSaveState::Unchanged)
            << "row " << row + 1;
        EXPECT_EQ(saved[row].status, refuser ? 5 : 0) << "row " << row + 1;
    }
    EXPECT_EQ(registry.CountCalls(RegOperation::SetValue), 0u);
    EXPECT_EQ(registry.Dump(), before) << "the keys made for rows 1, 3, 6 and 8 are gone again";
    const LoadResult loadedAfter = store.Load();
    EXPECT_EQ(loadedAfter.found, loadedBefore.found);
    EXPECT_EQ(loadedAfter.mode, loadedBefore.mode);
    EXPECT_EQ(loadedAfter.framesNumber, loadedBefore.framesNumber);
}

TEST_F(DriverParameterStoreTest, RefusalKeepsAServiceKeyThatHeldSomethingAndRemovesOnlyWhatItMade)
{
    // QuorinDx is installed (values, no Parameters key); QuorinRv has only
    // an Enum subkey; the others are missing entirely.
    registry.SetValue("SYSTEM\\CurrentControlSet\\services\\QuorinDx", "Start", kRegDword, DwordBytes(3));
    registry.CreateKey("SYSTEM\\CurrentControlSet\\services\\QuorinRv\\Enum");
    Seed(7, 0, 1);
    registry.RestrictAccess(KeyOf(7), kKeyRead);
    const std::vector<std::string> before = registry.Dump();

    const SaveResult saved = store.Save(1, 1);
    EXPECT_EQ(saved[7].state, ServiceSaveState::Refused);
    EXPECT_EQ(registry.Dump(), before);
    EXPECT_TRUE(registry.KeyExists("SYSTEM\\CurrentControlSet\\services\\QuorinDx"));
    EXPECT_FALSE(registry.KeyExists(KeyOf(1)));
    EXPECT_EQ(registry.SubKeyNames("SYSTEM\\CurrentControlSet\\services\\QuorinRv"),
              std::vector<std::string>{"Enum"});
    EXPECT_FALSE(registry.KeyExists("SYSTEM\\CurrentControlSet\\services\\Quorin"));
}

TEST_F(DriverParameterStoreTest, KeyMadeThatCannotBeRemovedIsReported)
{
    Seed(7, 0, 1);
    registry.RestrictAccess(KeyOf(7), kKeyRead);
    // The first removal is row 1's Parameters key.
    registry.InjectFault(RegOperation::DeleteKey, 1, 1018);
    const SaveResult saved = store.Save(1, 1);
    EXPECT_EQ(saved[0].state, ServiceSaveState::EmptyKeyLeft);
    EXPECT_EQ(saved[0].status, 1018);
    EXPECT_EQ(saved[7].state, ServiceSaveState::Refused);
    EXPECT_TRUE(registry.KeyExists(KeyOf(0)));
    EXPECT_FALSE(registry.KeyExists(KeyOf(1)));
    EXPECT_EQ(registry.CountCalls(RegOperation::SetValue), 0u);
}

TEST_F(DriverParameterStoreTest, FailedValueWriteKeepsThatServiceWholeAndGoesOn)
{
    Seed(2, 1, 4);
    // The fifth value write is row 3's mode: row 3 keeps both old values.
    registry.InjectFault(RegOperation::SetValue, 5, 1392);
    const SaveResult saved = store.Save(2, 9);
    EXPECT_FALSE(SaveRefused(saved));
    EXPECT_EQ(saved[2].state, ServiceSaveState::Unchanged);
    EXPECT_EQ(saved[2].status, 1392);
    ExpectStored(2, 1, 4);
    for (std::size_t row : {0u, 1u, 3u, 4u, 5u, 6u, 7u}) {
        EXPECT_EQ(saved[row].state, ServiceSaveState::Written) << "row " << row + 1;
        ExpectStored(row, 2, 9);
    }
    EXPECT_EQ(registry.CountCalls(RegOperation::SetValue), 15u);
    EXPECT_EQ(registry.CountCalls(RegOperation::CloseKey), 16u);
}

TEST_F(DriverParameterStoreTest, FailedFramesWriteIsReportedAsModeOnly)
{
    Seed(2, 1, 4);
    // The sixth value write is row 3's frames number.
    registry.InjectFault(RegOperation::SetValue, 6, 1392);
    const SaveResult saved = store.Save(2, 9);
    EXPECT_EQ(saved[2].state, ServiceSaveState::ModeOnly);
    EXPECT_EQ(saved[2].status, 1392);
    ExpectStored(2, 2, 4);
}

TEST_F(DriverParameterStoreTest, KeyMadeForAServiceWhoseWriteFailedIsRemovedAgain)
{
    Seed(3, 4, 6);
    // Row 1 does not exist: its key is made, its mode write fails, and a
    // key holding nothing must not become the row a load reads first.
    registry.InjectFault(RegOperation::SetValue, 1, 1392);
    const SaveResult saved = store.Save(2, 9);
    EXPECT_EQ(saved[0].state, ServiceSaveState::Unchanged);
    EXPECT_FALSE(registry.KeyExists("SYSTEM\\CurrentControlSet\\services\\Quorin"));
    const LoadResult loaded = store.Load();
    EXPECT_EQ(loaded.mode, 2u);
    EXPECT_EQ(loaded.framesNumber, 9);
}

TEST_F(DriverParameterStoreTest, SaveWithoutFullAccessWritesNothingAndSaysSo)
{
    for (std::size_t row = 0; row < kDriverServiceCount; ++row) {
        Seed(row, 4, 3);
        registry.RestrictAccess(KeyOf(row), kKeyRead);
    }
    const SaveResult saved = store.Save(0, 1);
    for (std::size_t row = 0; row < kDriverServiceCount; ++row) {
        EXPECT_EQ(saved[row].state, ServiceSaveState::Refused);
        EXPECT_EQ(saved[row].status, 5);
        ExpectStored(row, 4, 3);
    }
    // And the load still shows what the drivers hold.
    EXPECT_EQ(store.Load().mode, 4u);
}

TEST_F(DriverParameterStoreTest, SaveCannotCreateUnderAServicesKeyThatForbidsIt)
{
    registry.RestrictAccess("SYSTEM\\CurrentControlSet\\services", kKeyRead);
    const SaveResult saved = store.Save(1, 1);
    for (const ServiceSaveStatus& service : saved) {
        EXPECT_EQ(service.state, ServiceSaveState::Refused);
    }
    EXPECT_FALSE(registry.KeyExists(KeyOf(0)));
}

} // namespace
