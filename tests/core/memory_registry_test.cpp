// The in-memory registry keeps the promises the store's tests lean on.
#include "memory_registry.h"

#include <gtest/gtest.h>

namespace {

const char* const kPath = "SYSTEM\\CurrentControlSet\\services\\Quorin\\Parameters";

TEST(MemoryRegistry, CreateMakesEveryMissingKeyAboveIt)
{
    MemoryRegistry registry;
    RegKey key = 0;
    std::uint32_t disposition = 0;
    ASSERT_EQ(registry.RegCreateKeyExA(kHkeyLocalMachine, kPath, 0, nullptr, 0, kKeyAllAccess,
                                       nullptr, &key, &disposition),
              kErrorSuccess);
    EXPECT_EQ(disposition, kRegCreatedNewKey);
    EXPECT_TRUE(registry.KeyExists("SYSTEM\\CurrentControlSet\\services\\Quorin"));
    EXPECT_EQ(registry.RegCloseKey(key), kErrorSuccess);
    ASSERT_EQ(registry.RegCreateKeyExA(kHkeyLocalMachine, "system\\CURRENTCONTROLSET\\Services\\quorin\\PARAMETERS", 0,
                                       nullptr, 0, kKeyAllAccess, nullptr, &key, &disposition),
              kErrorSuccess);
    EXPECT_EQ(disposition, kRegOpenedExistingKey);
    EXPECT_EQ(registry.RegCloseKey(key), kErrorSuccess);
    EXPECT_EQ(registry.RegCloseKey(key), kErrorInvalidHandle);
}

TEST(MemoryRegistry, FourByteQueryCopiesShortDataAndRefusesLongData)
{
    MemoryRegistry registry;
    registry.SetValue(kPath, "short", kRegBinary, {0xAA, 0xBB});
    registry.SetValue(kPath, "long", kRegQword, {1, 2, 3, 4, 5, 6, 7, 8});
    RegKey key = 0;
    ASSERT_EQ(registry.RegOpenKeyExA(kHkeyLocalMachine, kPath, 0, kKeyRead, &key), kErrorSuccess);

    unsigned char buffer[4] = {1, 2, 3, 4};
    std::uint32_t type = 0;
    std::uint32_t size = 4;
    EXPECT_EQ(registry.RegQueryValueExA(key, "SHORT", nullptr, &type, buffer, &size),
              kErrorSuccess);
    EXPECT_EQ(type, kRegBinary);
    EXPECT_EQ(size, 2u);
    EXPECT_EQ(buffer[0], 0xAA);
    EXPECT_EQ(buffer[1], 0xBB);
    EXPECT_EQ(buffer[2], 3);

    size = 4;
    EXPECT_EQ(registry.RegQueryValueExA(key, "long", nullptr, &type, buffer, &size),
              kErrorMoreData);
    EXPECT_EQ(size, 8u);
    size = 4;
    EXPECT_EQ(registry.RegQueryValueExA(key, "absent", nullptr, &type, buffer, &size),
              kErrorFileNotFound);
    // A read-only handle cannot write.
    EXPECT_EQ(registry.RegSetValueExA(key, "x", 0, kRegDword, buffer, 4), kErrorAccessDenied);
    registry.RegCloseKey(key);
    EXPECT_EQ(registry.OpenKeyCount(), 0u);
}

TEST(MemoryRegistry, RestrictedKeyDeniesFullAccessButAllowsReading)
{
    MemoryRegistry registry;
    registry.RestrictAccess(kPath, kKeyRead);
    RegKey key = 0;
    EXPECT_EQ(registry.RegOpenKeyExA(kHkeyLocalMachine, kPath, 0, kKeyAllAccess, &key),
              kErrorAccessDenied);
    EXPECT_EQ(registry.RegCreateKeyExA(kHkeyLocalMachine, kPath, 0, nullptr, 0, kKeyAllAccess,
                                       nullptr, &key, nullptr),
              kErrorAccessDenied);
    EXPECT_EQ(registry.RegOpenKeyExA(kHkeyLocalMachine, kPath, 0, kKeyRead, &key), kErrorSuccess);
    registry.RegCloseKey(key);
}

TEST(MemoryRegistry, InjectedFaultHitsExactlyTheChosenCall)
{
    MemoryRegistry registry;
    registry.CreateKey(kPath);
    registry.InjectFault(RegOperation::OpenKey, 2, kErrorAccessDenied);
    RegKey key = 0;
    EXPECT_EQ(registry.RegOpenKeyExA(kHkeyLocalMachine, kPath, 0, kKeyRead, &key), kErrorSuccess);
    registry.RegCloseKey(key);
    EXPECT_EQ(registry.RegOpenKeyExA(kHkeyLocalMachine, kPath, 0, kKeyRead, &key),
              kErrorAccessDenied);
    EXPECT_EQ(key, 0u);
    EXPECT_EQ(registry.RegOpenKeyExA(kHkeyLocalMachine, kPath, 0, kKeyRead, &key), kErrorSuccess);
    registry.RegCloseKey(key);
    EXPECT_EQ(registry.CountCalls(RegOperation::OpenKey), 3u);
    EXPECT_EQ(registry.Calls()[2].status, kErrorAccessDenied);
}

TEST(MemoryRegistry, DeletingAKeyInvalidatesItsOpenHandles)
{
    MemoryRegistry registry;
    registry.CreateKey(kPath);
    RegKey key = 0;
    ASSERT_EQ(registry.RegOpenKeyExA(kHkeyLocalMachine, kPath, 0, kKeyRead, &key), kErrorSuccess);
    registry.DeleteKey("SYSTEM\\CurrentControlSet\\services\\Quorin");
    EXPECT_FALSE(registry.KeyExists(kPath));
    EXPECT_EQ(registry.OpenKeyCount(), 0u);
    std::uint32_t size = 4;
    unsigned char buffer[4] = {};
    EXPECT_EQ(registry.RegQueryValueExA(key, "x", nullptr, nullptr, buffer, &size),
              kErrorInvalidHandle);
}

TEST(MemoryRegistry, DeleteRefusesAKeyWithSubkeysOrWithoutTheRightAndCountsWhatIsLeft)
{
    MemoryRegistry registry;
    const std::string service = "SYSTEM\\CurrentControlSet\\services\\Quorin";
    registry.SetDword(kPath, "x", 1);
    EXPECT_EQ(registry.RegDeleteKeyA(kHkeyLocalMachine, service.c_str()), kErrorAccessDenied);
    EXPECT_EQ(registry.RegDeleteKeyA(kHkeyLocalMachine, "SYSTEM\\Nowhere"), kErrorFileNotFound);
    registry.RestrictAccess(kPath, kKeyRead);
    EXPECT_EQ(registry.RegDeleteKeyA(kHkeyLocalMachine, kPath), kErrorAccessDenied);
    registry.RestrictAccess(kPath, kKeyAllAccess);
    EXPECT_EQ(registry.RegDeleteKeyA(kHkeyLocalMachine, kPath), kErrorSuccess);
    EXPECT_FALSE(registry.KeyExists(kPath));

    registry.SetDword(service, "Start", 3);
    registry.CreateKey(service + "\\Enum");
    RegKey key = 0;
    ASSERT_EQ(registry.RegOpenKeyExA(kHkeyLocalMachine, service.c_str(), 0, kKeyRead, &key),
              kErrorSuccess);
    std::uint32_t subKeys = 9;
    std::uint32_t values = 9;
    EXPECT_EQ(registry.RegQueryInfoKeyA(key, nullptr, nullptr, nullptr, &subKeys, nullptr, nullptr,
                                        &values, nullptr, nullptr, nullptr, nullptr),
              kErrorSuccess);
    EXPECT_EQ(subKeys, 1u);
    EXPECT_EQ(values, 1u);
    registry.RegCloseKey(key);
}

} // namespace
