// A driver service's Parameters key given both values, as an installed
// driver holds them: the tests' and benchmarks' usual starting state.
#pragma once

#include "driver_parameter_store.h"
#include "memory_registry.h"
#include "sync_settings.h"

inline void SeedService(MemoryRegistry& registry, std::size_t row, std::uint32_t mode,
                        std::int32_t frames)
{
    registry.SetDword(DriverServiceList[row].parametersKey, kExternalSynchModeValueName, mode);
    registry.SetDword(DriverServiceList[row].parametersKey, kSynchFramesNumberValueName,
                      static_cast<std::uint32_t>(frames));
}
