// Sets a registry key's DACL from its SDDL form, as an administrator would
// lock a key down or open it again. Windows builds only.
#pragma once

#include <windows.h>
#include <sddl.h>

inline bool SetKeyDacl(const char* path, const char* sddl)
{
    PSECURITY_DESCRIPTOR descriptor = nullptr;
    if (!::ConvertStringSecurityDescriptorToSecurityDescriptorA(sddl, SDDL_REVISION_1,
                                                                &descriptor, nullptr)) {
        return false;
    }
    HKEY key = nullptr;
    LONG status = ::RegOpenKeyExA(HKEY_LOCAL_MACHINE, path, 0, WRITE_DAC, &key);
    if (status == ERROR_SUCCESS) {
        status = ::RegSetKeySecurity(key, DACL_SECURITY_INFORMATION, descriptor);
        ::RegCloseKey(key);
    }
    ::LocalFree(descriptor);
    return status == ERROR_SUCCESS;
}
