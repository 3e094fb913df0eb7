// The starting states of the fault-injection sweep and its faults.
#include "save_fault_sweep.h"

#include "driver_parameter_store.h"
#include "sync_settings.h"

#include <string>

const char* Name(StartingState state)
{
    switch (state) {
    case StartingState::NoKeys: return "no keys";
    case StartingState::OnlyRowFour: return "only row 4";
    case StartingState::EveryRow: return "every row";
    case StartingState::LastRowRefuses: return "row 8 refuses";
    }
    return "?";
}

std::uint32_t ModeOf(std::size_t row) { return std::uint32_t{1} << (row % 3); }
std::int32_t FramesOf(std::size_t row) { return static_cast<std::int32_t>(10 + row); }

bool RowExists(StartingState state, std::size_t row)
{
    switch (state) {
    case StartingState::NoKeys: return false;
    case StartingState::OnlyRowFour: return row == 3;
    case StartingState::EveryRow: return true;
    case StartingState::LastRowRefuses: return row == 3 || row == kLastRow;
    }
    return false;
}

void Prepare(MemoryRegistry& registry, StartingState state)
{
    registry.SetValue("SYSTEM\\CurrentControlSet\\services\\Other", "Start", kRegDword, {3, 0, 0, 0});
    for (std::size_t row = 0; row < kDriverServiceCount; ++row) {
        if (RowExists(state, row)) {
            const char* key = DriverServiceList[row].parametersKey;
            registry.SetDword(key, kExternalSynchModeValueName, ModeOf(row));
            registry.SetDword(key, kSynchFramesNumberValueName, static_cast<std::uint32_t>(FramesOf(row)));
            registry.SetValue(key, "Gain", kRegDword, {9, 0, 0, 0});
            registry.CreateKey(std::string(key) + "\\Calibration");
        }
    }
    if (state == StartingState::LastRowRefuses) {
        registry.RestrictAccess(DriverServiceList[kLastRow].parametersKey, kKeyRead);
    }
}

void PrepareWithFault(MemoryRegistry& registry, StartingState state, RegOperation operation,
                      std::size_t position, RegStatus status)
{
    Prepare(registry, state);
    registry.InjectFault(operation, position, status);
}

std::string Describe(StartingState state, RegOperation operation, std::size_t position)
{
    return std::string(Name(state)) + ", operation " + std::to_string(static_cast<int>(operation)) +
           " at call " + std::to_string(position);
}

std::vector<SaveFault> SaveFaultSweep(std::uint32_t mode, std::int32_t framesNumber)
{
    std::vector<SaveFault> faults;
    for (StartingState state : kStartingStates) {
        // The calls a fault-free save makes, per operation, bound the positions.
        MemoryRegistry registry;
        Prepare(registry, state);
        DriverParameterStore(registry).Save(mode, framesNumber);
        for (RegOperation operation : kRegOperations) {
            for (std::size_t position = 1; position <= registry.CountCalls(operation) + 1; ++position) {
                faults.push_back({state, operation, position});
            }
        }
    }
    return faults;
}
