// The driver parameter store: reads the synchronization settings from the
// first of the device family's eight driver services whose Parameters key
// opens, and writes them to all eight, through a RegistryAccess.
#pragma once

#include "registry_access.h"

#include <array>
#include <cstddef>
#include <cstdint>

struct DriverService {
    const char* name;
    const char* parametersKey; // below HKEY_LOCAL_MACHINE
};

constexpr std::size_t kDriverServiceCount = 8;

// The order decides whose values are shown: the first key that opens wins.
constexpr std::array<DriverService, kDriverServiceCount> DriverServiceList = {{
    {"Quorin", "SYSTEM\\CurrentControlSet\\services\\Quorin\\Parameters"},
    {"QuorinDx", "SYSTEM\\CurrentControlSet\\services\\QuorinDx\\Parameters"},
    {"QuorinRv", "SYSTEM\\CurrentControlSet\\services\\QuorinRv\\Parameters"},
    {"QuorinM", "SYSTEM\\CurrentControlSet\\services\\QuorinM\\Parameters"},
    {"QuorinPx7", "SYSTEM\\CurrentControlSet\\services\\QuorinPx7\\Parameters"},
    {"QuorinS", "SYSTEM\\CurrentControlSet\\services\\QuorinS\\Parameters"},
    {"QuorinSv", "SYSTEM\\CurrentControlSet\\services\\QuorinSv\\Parameters"},
    {"QuorinNq", "SYSTEM\\CurrentControlSet\\services\\QuorinNq\\Parameters"},
}};

struct LoadResult {
    bool found;                 // some service's Parameters key opened
    std::uint32_t mode;         // "External synch mode", or its default
    std::int32_t framesNumber;  // "Synch frames number", or its default
};

// Which services a save reached. A row counts as written only when its key
// opened (or was created) and both values were set.
class SaveResult {
public:
    SaveResult() : written_{} {}

    void MarkWritten(std::size_t row) { written_[row] = true; }
    bool Written(std::size_t row) const { return written_[row]; }
    std::size_t FailedCount() const;
    bool AllWritten() const { return FailedCount() == 0; }

private:
    std::array<bool, kDriverServiceCount> written_;
};

class DriverParameterStore {
public:
    explicit DriverParameterStore(RegistryAccess& registry) : registry_(registry) {}

    // Reads with read access only, so that a user without administrator
    // rights still sees what the drivers are set to.
    LoadResult Load() const;

    // Attempts every service in order, whatever happened to the earlier ones.
    SaveResult Save(std::uint32_t mode, std::int32_t framesNumber) const;

private:
    std::uint32_t QueryDword(RegKey key, const char* valueName, std::uint32_t fallback) const;
    bool SetDword(RegKey key, const char* valueName, std::uint32_t value) const;

    RegistryAccess& registry_;
};
