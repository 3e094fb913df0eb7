// Forwards each registry operation to the advapi32 call of the same name.
#include "win32_registry.h"

#include <windows.h>

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
