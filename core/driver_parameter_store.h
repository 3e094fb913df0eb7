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
    const char* serviceKey;    // below HKEY_LOCAL_MACHINE
    const char* parametersKey; // below HKEY_LOCAL_MACHINE
};

inline constexpr std::size_t kDriverServiceCount = 8;

// A service's keys below HKEY_LOCAL_MACHINE, from its name alone.
#define QUORIN_SERVICES_KEY "SYSTEM\\CurrentControlSet\\services\\"
#define QUORIN_DRIVER_SERVICE(name) \
    { name, QUORIN_SERVICES_KEY name, QUORIN_SERVICES_KEY name "\\Parameters" }

// The order decides whose values are shown: the first key that opens wins.
// (The scripts read the names from these lines.)
inline constexpr std::array<DriverService, kDriverServiceCount> DriverServiceList = {{
    QUORIN_DRIVER_SERVICE("Quorin"),
    QUORIN_DRIVER_SERVICE("QuorinDx"),
    QUORIN_DRIVER_SERVICE("QuorinRv"),
    QUORIN_DRIVER_SERVICE("QuorinM"),
    QUORIN_DRIVER_SERVICE("QuorinPx7"),
    QUORIN_DRIVER_SERVICE("QuorinS"),
    QUORIN_DRIVER_SERVICE("QuorinSv"),
    QUORIN_DRIVER_SERVICE("QuorinNq"),
}};

struct LoadResult {
    bool found;                 // some service's Parameters key opened
    std::uint32_t mode;         // "External synch mode", or its default
    std::int32_t framesNumber;  // "Synch frames number", or its default
};

// How one value is stored, as the registry reports it.
struct StoredShape {
    bool present;       // the value exists, whatever its type and size
    std::uint32_t type; // its registry type, when present
    std::uint32_t size; // its size in bytes, when present
    // Not present because the query failed, not because the value is missing.
    bool unreadable = false;
};

// Whether a value is what a driver reads as a number: REG_DWORD of exactly
// four bytes. A load takes other data as it lies; a compliance check may not.
bool IsStoredDword(const StoredShape& shape);

// What one service's Parameters key holds, read as a load reads it, and how
// each value is stored.
struct ServiceReading {
    bool found;                 // its Parameters key opened for reading
    bool keyMissing;            // not found because there is no such key
    bool modeRead;              // "External synch mode" was read; else mode is its default
    std::uint32_t mode;
    bool framesRead;            // "Synch frames number" was read; else its default
    std::int32_t framesNumber;
    StoredShape modeShape;
    StoredShape framesShape;
};

// Whether a service holds exactly these settings as its driver reads them:
// both values REG_DWORD of four bytes, with these numbers.
bool HoldsSettings(const ServiceReading& reading, std::uint32_t mode, std::int32_t framesNumber);

// Where a save left one driver service.
enum class ServiceSaveState : std::uint8_t {
    Written,      // it holds both new values
    Refused,      // its key did not open for writing, so no service was written
    Unchanged,    // it holds what it held before: another service refused, or
                  // writing its first value failed
    ModeOnly,     // it holds the new mode but its old frames number
    EmptyKeyLeft, // nothing was written, and the Parameters key made for it
                  // could not be removed again, so a load now finds it empty
    EmptyServiceKeyLeft, // nothing was written; the Parameters key made for it
                         // was removed again, but the service key made with
                         // it could not be, so a load finds nothing, as before
};

struct ServiceSaveStatus {
    ServiceSaveState state;
    // The code of the call that failed for this service (the open, a value
    // write or a removal), or kErrorSuccess.
    RegStatus status;
    // What it held when every key was open and nothing yet written, read as
    // a load reads it: the old values of the save's record.
    ServiceReading before{};
};

// One status per service, in the order of DriverServiceList.
using SaveResult = std::array<ServiceSaveStatus, kDriverServiceCount>;

bool AllWritten(const SaveResult& result);
// Some key refused to open, so nothing was written anywhere.
bool SaveRefused(const SaveResult& result);

class DriverParameterStore {
public:
    explicit DriverParameterStore(RegistryAccess& registry) : registry_(registry) {}

    // Reads with read access only, so that a user without administrator
    // rights still sees what the drivers are set to.
    LoadResult Load() const;

    // One service's values, with read access only (for audits of all eight).
    ServiceReading ReadService(std::size_t row) const;

    // All or nothing as far as the registry allows: first opens (or creates)
    // every service's Parameters key for setting values, and no more, then
    // reads what each holds; only when all eight opened does it write the
    // two values into each. When any refused, it writes
    // nothing and removes again the keys it made, so a following load shows
    // exactly what it showed before.
    SaveResult Save(std::uint32_t mode, std::int32_t framesNumber) const;

    // The registry it reads and writes, for the system's words on its codes.
    const RegistryAccess& Registry() const { return registry_; }

private:
    // The value read, or `fallback` (and false) when it cannot be read;
    // `shape`, when given, gets how the value is stored.
    bool QueryDword(RegKey key, const char* valueName, std::uint32_t fallback,
                    std::uint32_t* value, StoredShape* shape = nullptr) const;
    RegStatus SetDword(RegKey key, const char* valueName, std::uint32_t value) const;
    ServiceSaveStatus WriteValues(RegKey key, std::uint32_t mode, std::int32_t framesNumber) const;
    // Removes the Parameters key made for a service in this save, and its
    // service key when that is left empty: Unchanged when all went, else
    // what was left, with the status of the call that failed.
    ServiceSaveStatus RemoveMadeKey(const DriverService& service) const;

    RegistryAccess& registry_;
};
