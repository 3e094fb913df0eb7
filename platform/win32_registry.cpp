// Forwards each registry operation to the advapi32 call of the same name.
#include "win32_registry.h"

#include "win32_status_text.h"

#include <windows.h>

#include <cstddef>

namespace {

HKEY ToHkey(RegKey key)
{
    // The predefined roots are sign-extended 32-bit constants in a 64-bit HKEY.
    if (key == kHkeyLocalMachine) {
        return HKEY_LOCAL_MACHINE;
    }
    return reinterpret_cast<HKEY>(key);
}

RegKey FromHkey(HKEY key)
{
    return reinterpret_cast<RegKey>(key);
}

} // namespace

RegStatus Win32Registry::RegOpenKeyExA(RegKey key, const char* subKey, std::uint32_t options,
                                       std::uint32_t samDesired, RegKey* result)
{
    HKEY opened = nullptr;
    const LONG status = ::RegOpenKeyExA(ToHkey(key), subKey, options, samDesired, &opened);
    if (result != nullptr) {
        *result = FromHkey(opened);
    }
    return status;
}

RegStatus Win32Registry::RegCreateKeyExA(RegKey key, const char* subKey, std::uint32_t reserved,
                                         char* keyClass, std::uint32_t options,
                                         std::uint32_t samDesired, const void* securityAttributes,
                                         RegKey* result, std::uint32_t* disposition)
{
    HKEY created = nullptr;
    DWORD createdDisposition = 0;
    const LONG status = ::RegCreateKeyExA(
        ToHkey(key), subKey, reserved, keyClass, options, samDesired,
        static_cast<LPSECURITY_ATTRIBUTES>(const_cast<void*>(securityAttributes)), &created,
        disposition != nullptr ? &createdDisposition : nullptr);
    if (result != nullptr) {
        *result = FromHkey(created);
    }
    if (disposition != nullptr) {
        *disposition = createdDisposition;
    }
    return status;
}

RegStatus Win32Registry::RegQueryValueExA(RegKey key, const char* valueName,
                                          std::uint32_t* reserved, std::uint32_t* type,
                                          unsigned char* data, std::uint32_t* dataSize)
{
    if (reserved != nullptr) {
        return ERROR_INVALID_PARAMETER; // as advapi32 answers a non-null reserved pointer
    }
    DWORD valueType = 0;
    DWORD size = dataSize != nullptr ? *dataSize : 0;
    const LONG status = ::RegQueryValueExA(ToHkey(key), valueName, nullptr,
                                           type != nullptr ? &valueType : nullptr, data,
                                           dataSize != nullptr ? &size : nullptr);
    if (type != nullptr) {
        *type = valueType;
    }
    if (dataSize != nullptr) {
        *dataSize = size;
    }
    return status;
}

RegStatus Win32Registry::RegSetValueExA(RegKey key, const char* valueName, std::uint32_t reserved,
                                        std::uint32_t type, const unsigned char* data,
                                        std::uint32_t dataSize)
{
    return ::RegSetValueExA(ToHkey(key), valueName, reserved, type, data, dataSize);
}

RegStatus Win32Registry::RegCloseKey(RegKey key)
{
    return ::RegCloseKey(ToHkey(key));
}

RegStatus Win32Registry::RegDeleteKeyA(RegKey key, const char* subKey)
{
    return ::RegDeleteKeyA(ToHkey(key), subKey);
}

RegStatus Win32Registry::RegQueryInfoKeyA(RegKey key, char* keyClass, std::uint32_t* classLength,
                                          std::uint32_t* reserved, std::uint32_t* subKeys,
                                          std::uint32_t* maxSubKeyLength,
                                          std::uint32_t* maxClassLength, std::uint32_t* values,
                                          std::uint32_t* maxValueNameLength,
                                          std::uint32_t* maxValueLength,
                                          std::uint32_t* securityDescriptorLength,
                                          void* lastWriteTime)
{
    if (reserved != nullptr) {
        return ERROR_INVALID_PARAMETER; // as advapi32 answers a non-null reserved pointer
    }
    // DWORD and std::uint32_t are distinct types of the same size: each
    // out-parameter asked for gets a DWORD of its own, copied back after.
    std::uint32_t* const targets[] = {classLength,    subKeys,           maxSubKeyLength,
                                      maxClassLength, values,            maxValueNameLength,
                                      maxValueLength, securityDescriptorLength};
    constexpr std::size_t kCount = sizeof targets / sizeof targets[0];
    DWORD words[kCount] = {};
    DWORD* pointers[kCount] = {};
    for (std::size_t i = 0; i < kCount; ++i) {
        if (targets[i] != nullptr) {
            words[i] = *targets[i];
            pointers[i] = &words[i];
        }
    }
    const LONG status = ::RegQueryInfoKeyA(ToHkey(key), keyClass, pointers[0], nullptr, pointers[1],
                                           pointers[2], pointers[3], pointers[4], pointers[5],
                                           pointers[6], pointers[7],
                                           static_cast<FILETIME*>(lastWriteTime));
    for (std::size_t i = 0; i < kCount; ++i) {
        if (targets[i] != nullptr) {
            *targets[i] = words[i];
        }
    }
    return status;
}

StatusText Win32Registry::SystemText(RegStatus status) const
{
    return Win32StatusText(status);
}
