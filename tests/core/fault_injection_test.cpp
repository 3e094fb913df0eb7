// Every registry operation made to fail at every call position of a load
// and of a save, from each starting state that matters. Whatever fails, no
// key is left open or closed twice, the load gives what the walk and the
// defaults say, the save attempts every row and reports exactly the rows it
// did not write, and nothing but the two values changes.
#include "driver_parameter_store.h"
#include "memory_registry.h"
#include "sync_settings.h"

#include <gtest/gtest.h>

#include <iostream>
#include <map>
#include <set>
#include <string>
#include <vector>

namespace {

constexpr RegOperation kOperations[] = {RegOperation::OpenKey, RegOperation::CreateKey,
                                        RegOperation::QueryValue, RegOperation::SetValue,
                                        RegOperation::CloseKey};
constexpr RegStatus kInjectedStatus = kErrorAccessDenied;
constexpr std::uint32_t kSavedMode = 4;
constexpr std::int32_t kSavedFrames = -7;

enum class StartingState { NoKeys, OnlyRowFour, EveryRow };

const char* Name(StartingState state)
{
    switch (state) {
    case StartingState::NoKeys: return "no keys";
    case StartingState::OnlyRowFour: return "only row 4";
    case StartingState::EveryRow: return "every row";
    }
    return "?";
}

// Distinct values per row, so a load shows which row it read.
std::uint32_t ModeOf(std::size_t row) { return std::uint32_t{1} << (row % 3); }
std::int32_t FramesOf(std::size_t row) { return static_cast<std::int32_t>(10 + row); }

void Prepare(MemoryRegistry& registry, StartingState state)
{
    // Neighbours that a save must leave alone.
    registry.SetValue("SYSTEM\\CurrentControlSet\\services\\Other", "Start", kRegDword, {3, 0, 0, 0});
    for (std::size_t row = 0; row < kDriverServiceCount; ++row) {
        if (state == StartingState::EveryRow || (state == StartingState::OnlyRowFour && row == 3)) {
            const char* key = DriverServiceList[row].parametersKey;
            registry.SetDword(key, kExternalSynchModeValueName, ModeOf(row));
            registry.SetDword(key, kSynchFramesNumberValueName, static_cast<std::uint32_t>(FramesOf(row)));
            registry.SetValue(key, "Gain", kRegDword, {9, 0, 0, 0});
            registry.CreateKey(std::string(key) + "\\Calibration");
        }
    }
}

bool RowExists(StartingState state, std::size_t row)
{
    return state == StartingState::EveryRow || (state == StartingState::OnlyRowFour && row == 3);
}

// Each handle an open or create gave is closed exactly once, and every
// handle a query or a write used is one of them.
void ExpectEveryKeyClosedOnce(const MemoryRegistry& registry, RegOperation opener)
{
    std::map<RegKey, int> closes;
    std::set<RegKey> used;
    std::size_t successfulOpens = 0;
    for (const RegCall& call : registry.Calls()) {
        if (call.operation == RegOperation::CloseKey) {
            ++closes[call.key];
        }
        if (call.operation == opener && call.status == kErrorSuccess) {
            ++successfulOpens;
        }
        if (call.operation == RegOperation::QueryValue || call.operation == RegOperation::SetValue) {
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

TEST(FaultInjection, EveryOperationFailingAtEveryCallOfALoadAndASave)
{
    std::size_t cases = 0;
    for (StartingState state : {StartingState::NoKeys, StartingState::OnlyRowFour, StartingState::EveryRow}) {
        // The calls a fault-free walk makes, per operation, bound the positions.
        std::map<RegOperation, std::size_t> loadCalls;
        std::map<RegOperation, std::size_t> saveCalls;
        {
            MemoryRegistry registry;
            Prepare(registry, state);
            DriverParameterStore(registry).Load();
            for (RegOperation operation : kOperations) {
                loadCalls[operation] = registry.CountCalls(operation);
            }
            registry.ClearCalls();
            DriverParameterStore(registry).Save(kSavedMode, kSavedFrames);
            for (RegOperation operation : kOperations) {
                saveCalls[operation] = registry.CountCalls(operation);
            }
        }

        for (RegOperation operation : kOperations) {
            // One position past the last call checks a fault that never fires.
            for (std::size_t position = 1; position <= loadCalls[operation] + 1; ++position) {
                SCOPED_TRACE(std::string("load, ") + Name(state) + ", operation " +
                             std::to_string(static_cast<int>(operation)) + " at call " +
                             std::to_string(position));
                MemoryRegistry registry;
                Prepare(registry, state);
                const std::vector<std::string> before = registry.Dump();
                registry.InjectFault(operation, position, kInjectedStatus);
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
                    EXPECT_EQ(loaded.mode, modeFails ? kDefaultSynchMode : ModeOf(foundRow));
                    EXPECT_EQ(loaded.framesNumber, framesFails ? kDefaultFramesNumber : FramesOf(foundRow));
                }
                ExpectEveryKeyClosedOnce(registry, RegOperation::OpenKey);
                EXPECT_EQ(registry.Dump(), before) << "a load changed the registry";
            }

            for (std::size_t position = 1; position <= saveCalls[operation] + 1; ++position) {
                SCOPED_TRACE(std::string("save, ") + Name(state) + ", operation " +
                             std::to_string(static_cast<int>(operation)) + " at call " +
                             std::to_string(position));
                MemoryRegistry registry;
                Prepare(registry, state);
                const std::vector<std::string> before = registry.Dump();
                registry.InjectFault(operation, position, kInjectedStatus);
                const SaveResult saved = DriverParameterStore(registry).Save(kSavedMode, kSavedFrames);
                ++cases;

                EXPECT_EQ(registry.CountCalls(RegOperation::CreateKey), kDriverServiceCount)
                    << "every row is attempted";
                // The row that is not written: the one whose create failed,
                // or the one a failed value write belongs to.
                std::size_t failedRow = kDriverServiceCount;
                if (operation == RegOperation::CreateKey && position <= kDriverServiceCount) {
                    failedRow = position - 1;
                }
                if (operation == RegOperation::SetValue && position <= 2 * kDriverServiceCount) {
                    failedRow = (position - 1) / 2;
                }
                for (std::size_t row = 0; row < kDriverServiceCount; ++row) {
                    EXPECT_EQ(saved.Written(row), row != failedRow) << "row " << row + 1;
                    const RegValue* mode = registry.FindValue(DriverServiceList[row].parametersKey,
                                                              kExternalSynchModeValueName);
                    if (row != failedRow) {
                        ASSERT_NE(mode, nullptr);
                        EXPECT_EQ(mode->data, (std::vector<unsigned char>{kSavedMode, 0, 0, 0}));
                    }
                }
                EXPECT_EQ(saved.FailedCount(), failedRow < kDriverServiceCount ? 1u : 0u);
                ExpectEveryKeyClosedOnce(registry, RegOperation::CreateKey);
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
        }
    }
    std::cout << "fault injection: " << cases << " cases" << std::endl;
    RecordProperty("cases", static_cast<int>(cases));
    EXPECT_GT(cases, 100u);
}

} // namespace
