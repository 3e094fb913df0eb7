// The registry interface over the real Win32 registry (advapi32's "A" calls),
// its codes told by the system's message table. Windows builds only.
#pragma once

#include "registry_access.h"

class Win32Registry final : public RegistryAccess {
public:
    RegStatus RegOpenKeyExA(RegKey key, const char* subKey, std::uint32_t options,
                            std::uint32_t samDesired, RegKey* result) override;
    RegStatus RegCreateKeyExA(RegKey key, const char* subKey, std::uint32_t reserved,
                              char* keyClass, std::uint32_t options, std::uint32_t samDesired,
                              const void* securityAttributes, RegKey* result,
                              std::uint32_t* disposition) override;
    RegStatus RegQueryValueExA(RegKey key, const char* valueName, std::uint32_t* reserved,
                               std::uint32_t* type, unsigned char* data,
                               std::uint32_t* dataSize) override;
    RegStatus RegSetValueExA(RegKey key, const char* valueName, std::uint32_t reserved,
                             std::uint32_t type, const unsigned char* data,
                             std::uint32_t dataSize) override;
    RegStatus RegCloseKey(RegKey key) override;
    RegStatus RegDeleteKeyA(RegKey key, const char* subKey) override;
    RegStatus RegQueryInfoKeyA(RegKey key, char* keyClass, std::uint32_t* classLength,
                               std::uint32_t* reserved, std::uint32_t* subKeys,
                               std::uint32_t* maxSubKeyLength, std::uint32_t* maxClassLength,
                               std::uint32_t* values, std::uint32_t* maxValueNameLength,
                               std::uint32_t* maxValueLength,
                               std::uint32_t* securityDescriptorLength,
                               void* lastWriteTime) override;
    StatusText SystemText(RegStatus status) const override;
};
