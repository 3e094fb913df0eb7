// The registry as the driver parameter store sees it: the operations it uses,
// named after and shaped like the Win32 calls they stand for, each returning
// the Win32 status code, with a handle type and constants of its own so that
// nothing here needs windows.h.
#pragma once

#include "status_text.h"

#include <cstdint>

// A registry key handle. Predefined roots carry their Win32 values.
using RegKey = std::uintptr_t;
// A Win32 status code (LONG); ERROR_SUCCESS is the only success.
using RegStatus = std::int32_t;

inline constexpr RegKey kHkeyLocalMachine = 0x80000002;

inline constexpr RegStatus kErrorSuccess = 0;
inline constexpr RegStatus kErrorFileNotFound = 2;
inline constexpr RegStatus kErrorAccessDenied = 5;
// The value is longer than the buffer; its type and size are still given.
inline constexpr RegStatus kErrorMoreData = 234;

// Access rights (REGSAM).
inline constexpr std::uint32_t kKeyQueryValue = 0x0001;
inline constexpr std::uint32_t kKeySetValue = 0x0002;
inline constexpr std::uint32_t kKeyRead = 0x20019;
inline constexpr std::uint32_t kKeyAllAccess = 0xF003F;

// Value types.
inline constexpr std::uint32_t kRegDword = 4;

inline constexpr std::uint32_t kRegOptionNonVolatile = 0;

// Create dispositions.
inline constexpr std::uint32_t kRegCreatedNewKey = 1;

class RegistryAccess {
public:
    virtual ~RegistryAccess() = default;

    virtual RegStatus RegOpenKeyExA(RegKey key, const char* subKey, std::uint32_t options,
                                    std::uint32_t samDesired, RegKey* result) = 0;
    virtual RegStatus RegCreateKeyExA(RegKey key, const char* subKey, std::uint32_t reserved,
                                      char* keyClass, std::uint32_t options,
                                      std::uint32_t samDesired, const void* securityAttributes,
                                      RegKey* result, std::uint32_t* disposition) = 0;
    virtual RegStatus RegQueryValueExA(RegKey key, const char* valueName, std::uint32_t* reserved,
                                       std::uint32_t* type, unsigned char* data,
                                       std::uint32_t* dataSize) = 0;
    virtual RegStatus RegSetValueExA(RegKey key, const char* valueName, std::uint32_t reserved,
                                     std::uint32_t type, const unsigned char* data,
                                     std::uint32_t dataSize) = 0;
    virtual RegStatus RegCloseKey(RegKey key) = 0;
    // Deletes a key that has no subkeys (its values go with it).
    virtual RegStatus RegDeleteKeyA(RegKey key, const char* subKey) = 0;
    // Any of the out pointers may be null; the store asks only for the
    // numbers of subkeys and values.
    virtual RegStatus RegQueryInfoKeyA(RegKey key, char* keyClass, std::uint32_t* classLength,
                                       std::uint32_t* reserved, std::uint32_t* subKeys,
                                       std::uint32_t* maxSubKeyLength,
                                       std::uint32_t* maxClassLength, std::uint32_t* values,
                                       std::uint32_t* maxValueNameLength,
                                       std::uint32_t* maxValueLength,
                                       std::uint32_t* securityDescriptorLength,
                                       void* lastWriteTime) = 0;

    // The system's own words for a status code these calls return, or an
    // empty text when it has none (the status is then told by its number).
    virtual StatusText SystemText(RegStatus status) const = 0;

protected:
    RegistryAccess() = default;
    RegistryAccess(const RegistryAccess&) = default;
    RegistryAccess& operator=(const RegistryAccess&) = default;
};
