// The fault-injection sweep of a save: from each starting state that
// matters, every registry operation made to fail at every call position of
// a fault-free save (and one past the last, a fault that never fires).
// Shared by the store's own fault tests and by the test that the dialog and
// quorin-sync judge every such save alike.
#pragma once

#include "driver_parameter_store.h"
#include "memory_registry.h"

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

// LastRowRefuses: row 4 as in OnlyRowFour, and row 8 present but read-only,
// so that every save from it takes the path that removes what it made.
enum class StartingState { NoKeys, OnlyRowFour, EveryRow, LastRowRefuses };

inline constexpr StartingState kStartingStates[] = {StartingState::NoKeys, StartingState::OnlyRowFour,
                                                    StartingState::EveryRow,
                                                    StartingState::LastRowRefuses};
inline constexpr RegOperation kRegOperations[] = {
    RegOperation::OpenKey,  RegOperation::CreateKey, RegOperation::QueryValue, RegOperation::SetValue,
    RegOperation::CloseKey, RegOperation::DeleteKey, RegOperation::QueryInfoKey};
inline constexpr std::size_t kLastRow = kDriverServiceCount - 1;

const char* Name(StartingState state);
// Distinct values per row, so a load shows which row it read.
std::uint32_t ModeOf(std::size_t row);
std::int32_t FramesOf(std::size_t row);
bool RowExists(StartingState state, std::size_t row);
// The starting state's keys and values, with neighbours a save must leave alone.
void Prepare(MemoryRegistry& registry, StartingState state);

// Prepare, with `operation` made to fail with `status` at its call number
// `position` (from 1).
void PrepareWithFault(MemoryRegistry& registry, StartingState state, RegOperation operation,
                      std::size_t position, RegStatus status);
// "only row 4, operation 3 at call 2", for a failing case's trace.
std::string Describe(StartingState state, RegOperation operation, std::size_t position);

struct SaveFault {
    StartingState state;
    RegOperation operation;
    std::size_t position; // the call of that operation that fails, from 1
};

// Every fault of the sweep, for a save of these two values.
std::vector<SaveFault> SaveFaultSweep(std::uint32_t mode, std::int32_t framesNumber);
