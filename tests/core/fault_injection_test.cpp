// Every registry operation made to fail at every call position of a load
// and of a save, from each starting state that matters. Whatever fails, no
// key is left open or closed twice, the load gives what the walk and the
// defaults say, a save that meets a refusal changes nothing (but a key it
// says it could not remove), a save that meets a failed write reports
// exactly that service, and nothing but the two values changes.
#include "driver_parameter_store.h"
#include "memory_registry.h"
#include "save_fault_sweep.h"
#include "sync_settings.h"

#include <gtest/gtest.h>

#include <iostream>
#include <map>
#include <set>
#include <string>
#include <vector>

namespace {

constexpr RegStatus kInjectedStatus = kErrorAccessDenied;
constexpr std::uint32_t kSavedMode = 4;
constexpr std::int32_t kSavedFrames = -7;

// Each handle an open or create gave is closed exactly once, and every
// handle a query or a write used is one of them.
void ExpectEveryKeyClosedOnce(const MemoryRegistry& registry)
{
    std::map<RegKey, int> closes;
    std::set<RegKey> used;
    std::size_t successfulOpens = 0;
    for (const RegCall& call : registry.Calls()) {
        if (call.operation == RegOperation::CloseKey) {
            ++closes[call.key];
        }
        const bool opener =
            call.operation == RegOperation::OpenKey || call.operation == RegOperation::CreateKey;
        if (opener && call.status == kErrorSuccess) {
            ++successfulOpens;
        }
        if (call.operation == RegOperation::QueryValue || call.operation == RegOperation::SetValue ||
            call.operation == RegOperation::QueryInfoKey) {
            used.insert(call.key);
        }
    }
    EXPECT_EQ(closes.size(), successfulOpens) << "one close per opened key";
    for (const auto& entry : closes) {
        EXPECT_EQ(entry.second, 1) << "key " << entry.first << " closed more than once";
    }
    for (RegKey key : used) {
        EXPECT_EQ(closes.count(key), 1u) << "key " << key << " used but never closed";
    }
}

// Keys that a save may add: the Parameters keys and the keys above them.
bool MayBeCreated(const std::string& keyLine)
{
    for (const DriverService& service : DriverServiceList) {
        const std::string path = std::string("HKEY_LOCAL_MACHINE\\") + service.parametersKey;
        if (path.compare(0, keyLine.size(), keyLine) == 0) {
            return true;
        }
    }
    return false;
}

// Lines of a dump other than the two values of the eight Parameters keys.
std::vector<std::string> WithoutTheTwoValues(const std::vector<std::string>& dump)
{
    std::vector<std::string> kept;
    for (const std::string& line : dump) {
        bool ours = false;
        for (const DriverService& service : DriverServiceList) {
            for (const char* value : {kExternalSynchModeValueName, kSynchFramesNumberValueName}) {
                const std::string prefix = std::string("HKEY_LOCAL_MACHINE\\") +
                                           service.parametersKey + "\\" + value + " = ";
                ours = ours || line.compare(0, prefix.size(), prefix) == 0;
            }
        }
        if (!ours) {
            kept.push_back(line);
        }
    }
    return kept;
}

// A key line is one without " = ".
std::vector<std::string> ValuesOnly(const std::vector<std::string>& lines)
{
    std::vector<std::string> values;
    for (const std::string& line : lines) {
        if (line.find(" = ") != std::string::npos) {
            values.push_back(line);
        }
    }
    return values;
}

// Keys below HKEY_LOCAL_MACHINE that a save may make for a row.
bool MadeForRow(const std::string& keyLine, std::size_t row)
{
    const std::string root = "HKEY_LOCAL_MACHINE\\";
    return keyLine == root + DriverServiceList[row].serviceKey ||
           keyLine == root + DriverServiceList[row].parametersKey;
}

// A refusal: no value written anywhere, the refusing row named, and every
// key as it was, but for the keys of one row whose removal was reported
// as failed.
void ExpectRefusedSaveChangedNothing(const SaveResult& saved, const MemoryRegistry& registry,
                                     const std::vector<std::string>& before, StartingState state,
                                     const std::set<std::size_t>& refusingRows)
{
    EXPECT_EQ(registry.CountCalls(RegOperation::SetValue), 0u);
    EXPECT_TRUE(SaveRefused(saved));
    for (std::size_t row : refusingRows) {
        EXPECT_EQ(saved[row].state, ServiceSaveState::Refused) << "row " << row + 1;
        EXPECT_EQ(saved[row].status, kErrorAccessDenied) << "row " << row + 1;
    }
    std::size_t keysLeft = 0;
    std::size_t leftRow = kDriverServiceCount;
    for (std::size_t row = 0; row < kDriverServiceCount; ++row) {
        const bool parametersLeft = saved[row].state == ServiceSaveState::EmptyKeyLeft;
        if (parametersLeft || saved[row].state == ServiceSaveState::EmptyServiceKeyLeft) {
            ++keysLeft;
            leftRow = row;
            EXPECT_FALSE(RowExists(state, row)) << "only a key the save made can be left";
            EXPECT_EQ(saved[row].status, kInjectedStatus);
            // The state says which: the empty Parameters key a load would
            // find, or only the service key above it.
            EXPECT_EQ(registry.KeyExists(DriverServiceList[row].parametersKey), parametersLeft)
                << "row " << row + 1;
            EXPECT_TRUE(registry.KeyExists(DriverServiceList[row].serviceKey)) << "row " << row + 1;
        } else if (refusingRows.count(row) == 0) {
            EXPECT_EQ(saved[row].state, ServiceSaveState::Unchanged) << "row " << row + 1;
        }
    }
    EXPECT_LE(keysLeft, 1u) << "one fault, at most one key left";
    const std::vector<std::string> after = registry.Dump();
    std::vector<std::string> afterWithoutLeft;
    for (const std::string& line : after) {
        if (leftRow == kDriverServiceCount || !MadeForRow(line, leftRow)) {
            afterWithoutLeft.push_back(line);
        }
    }
    EXPECT_EQ(afterWithoutLeft, before) << "a refused save changed the registry";
}

// No refusal: every row written but the one a failed write belongs to.
void ExpectWrittenSave(const SaveResult& saved, const MemoryRegistry& registry,
                       StartingState state, RegOperation operation, std::size_t position)
{
    EXPECT_FALSE(SaveRefused(saved));
    // The writes go two per row, mode first.
    std::size_t failedRow = kDriverServiceCount;
    bool modeFailed = false;
    if (operation == RegOperation::SetValue && position <= 2 * kDriverServiceCount) {
        failedRow = (position - 1) / 2;
        modeFailed = (position - 1) % 2 == 0;
    }
    for (std::size_t row = 0; row < kDriverServiceCount; ++row) {
        const char* key = DriverServiceList[row].parametersKey;
        const RegValue* mode = registry.FindValue(key, kExternalSynchModeValueName);
        if (row != failedRow) {
            EXPECT_EQ(saved[row].state, ServiceSaveState::Written) << "row " << row + 1;
            ASSERT_NE(mode, nullptr);
            EXPECT_EQ(mode->data, (std::vector<unsigned char>{kSavedMode, 0, 0, 0}));
        } else if (modeFailed) {
            EXPECT_EQ(saved[row].state, ServiceSaveState::Unchanged);
            EXPECT_EQ(saved[row].status, kInjectedStatus);
            // As it was: the seeded values, or no key at all.
            EXPECT_EQ(registry.KeyExists(key), RowExists(state, row));
            if (RowExists(state, row)) {
                ASSERT_NE(mode, nullptr);
                EXPECT_EQ(mode->data, DwordBytes(ModeOf(row)));
            }
        } else {
            EXPECT_EQ(saved[row].state, ServiceSaveState::ModeOnly);
            EXPECT_EQ(saved[row].status, kInjectedStatus);
            ASSERT_NE(mode, nullptr);
            EXPECT_EQ(mode->data, (std::vector<unsigned char>{kSavedMode, 0, 0, 0}));
        }
    }
}

TEST(FaultInjection, EveryOperationFailingAtEveryCallOfALoadAndASave)
{
    std::size_t cases = 0;
    for (StartingState state : kStartingStates) {
        // The calls a fault-free load makes, per operation, bound the positions.
        std::map<RegOperation, std::size_t> loadCalls;
        {
            MemoryRegistry registry;
            Prepare(registry, state);
            DriverParameterStore(registry).Load();
            for (RegOperation operation : kRegOperations) {
                loadCalls[operation] = registry.CountCalls(operation);
            }
        }

        for (RegOperation operation : kRegOperations) {
            // One position past the last call checks a fault that never fires.
            for (std::size_t position = 1; position <= loadCalls[operation] + 1; ++position) {
                SCOPED_TRACE("load, " + Describe(state, operation, position));
                MemoryRegistry registry;
                PrepareWithFault(registry, state, operation, position, kInjectedStatus);
                const std::vector<std::string> before = registry.Dump();
                const LoadResult loaded = DriverParameterStore(registry).Load();
                ++cases;

                // What the walk says: the first row that exists and whose
                // open did not fail; a failed query gives the default.
                std::size_t openCall = 0;
                bool found = false;
                std::size_t foundRow = 0;
                for (std::size_t row = 0; row < kDriverServiceCount && !found; ++row) {
                    ++openCall;
                    const bool openFails = operation == RegOperation::OpenKey && position == openCall;
                    if (RowExists(state, row) && !openFails) {
                        found = true;
                        foundRow = row;
                    }
                }
                ASSERT_EQ(loaded.found, found);
                if (found) {
                    const bool modeFails = operation == RegOperation::QueryValue && position == 1;
                    const bool framesFails = operation == RegOperation::QueryValue && position == 2;
                    EXPECT_EQ(loaded.mode, modeFails ? 0u : ModeOf(foundRow));
                    EXPECT_EQ(loaded.framesNumber, framesFails ? 1 : FramesOf(foundRow));
                }
                ExpectEveryKeyClosedOnce(registry);
                EXPECT_EQ(registry.Dump(), before) << "a load changed the registry";
            }
        }
    }

    for (const SaveFault& fault : SaveFaultSweep(kSavedMode, kSavedFrames)) {
        const StartingState state = fault.state;
        const RegOperation operation = fault.operation;
        const std::size_t position = fault.position;
        SCOPED_TRACE("save, " + Describe(state, operation, position));
        MemoryRegistry registry;
        PrepareWithFault(registry, state, operation, position, kInjectedStatus);
        const std::vector<std::string> before = registry.Dump();
        const SaveResult saved = DriverParameterStore(registry).Save(kSavedMode, kSavedFrames);
        ++cases;

        EXPECT_EQ(registry.CountCalls(RegOperation::CreateKey), kDriverServiceCount)
            << "every row is attempted";
        const bool createFails = operation == RegOperation::CreateKey &&
                                 position <= kDriverServiceCount;
        std::set<std::size_t> refusingRows;
        if (createFails) {
            refusingRows.insert(position - 1);
        }
        if (state == StartingState::LastRowRefuses) {
            refusingRows.insert(kLastRow);
        }
        if (!refusingRows.empty()) {
            ExpectRefusedSaveChangedNothing(saved, registry, before, state, refusingRows);
        } else {
            ExpectWrittenSave(saved, registry, state, operation, position);
        }
        ExpectEveryKeyClosedOnce(registry);
        // Nothing but the two values changed: every other value is as
        // it was, and the only new keys are Parameters keys and their
        // parents.
        const std::vector<std::string> after = registry.Dump();
        EXPECT_EQ(ValuesOnly(WithoutTheTwoValues(after)), ValuesOnly(WithoutTheTwoValues(before)));
        const std::set<std::string> keysBefore(before.begin(), before.end());
        for (const std::string& line : after) {
            if (line.find(" = ") == std::string::npos && keysBefore.count(line) == 0) {
                EXPECT_TRUE(MayBeCreated(line)) << line;
            }
        }
    }

    std::cout << "fault injection: " << cases << " cases" << std::endl;
    RecordProperty("cases", static_cast<int>(cases));
    EXPECT_GT(cases, 100u);
}

} // namespace
