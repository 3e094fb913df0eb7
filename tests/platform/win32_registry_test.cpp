// The store over the real Win32 registry (run under Wine): every scenario is
// played on the real registry and on the in-memory model, and the two must
// agree on what is loaded and on what is left stored. The test program runs
// with HKEY_LOCAL_MACHINE redirected to a scratch key, so the keys below are
// that scratch key's, never the machine's.
#include "driver_parameter_store.h"
#include "memory_registry.h"
#include "sync_settings.h"
#include "win32_registry.h"

#include <windows.h>
#include <sddl.h>

#include <gtest/gtest.h>

#include <string>
#include <utility>
#include <vector>

namespace {

const char* const kServicesKey = "SYSTEM\\CurrentControlSet\\services";
// Grants everyone read access only, so KEY_ALL_ACCESS fails with 5.
const char* const kReadOnlyDacl = "D:P(A;;KR;;;WD)";
// Grants everyone everything again, so the key can be cleaned up.
const char* const kFullDacl = "D:P(A;;KA;;;WD)";

std::string ServiceKey(std::size_t row)
{
    return std::string(kServicesKey) + "\\" + DriverServiceList[row].name;
}

const char* ParametersKey(std::size_t row)
{
    return DriverServiceList[row].parametersKey;
}

void SetRealValue(const std::string& path, const std::string& name, DWORD type,
                  const std::vector<unsigned char>& data)
{
    HKEY key = nullptr;
    ASSERT_EQ(::RegCreateKeyExA(HKEY_LOCAL_MACHINE, path.c_str(), 0, nullptr, 0, KEY_ALL_ACCESS,
                                nullptr, &key, nullptr),
              ERROR_SUCCESS);
    ASSERT_EQ(::RegSetValueExA(key, name.c_str(), 0, type, data.data(),
                               static_cast<DWORD>(data.size())),
              ERROR_SUCCESS);
    ::RegCloseKey(key);
}

bool SetRealDacl(const std::string& path, const char* sddl)
{
    PSECURITY_DESCRIPTOR descriptor = nullptr;
    if (!::ConvertStringSecurityDescriptorToSecurityDescriptorA(sddl, SDDL_REVISION_1,
                                                                &descriptor, nullptr)) {
        return false;
    }
    HKEY key = nullptr;
    LONG status = ::RegOpenKeyExA(HKEY_LOCAL_MACHINE, path.c_str(), 0, WRITE_DAC, &key);
    if (status == ERROR_SUCCESS) {
        status = ::RegSetKeySecurity(key, DACL_SECURITY_INFORMATION, descriptor);
        ::RegCloseKey(key);
    }
    ::LocalFree(descriptor);
    return status == ERROR_SUCCESS;
}

struct StoredValue {
    bool present;
    DWORD type;
    std::vector<unsigned char> data;
    bool operator==(const StoredValue& other) const
    {
        return present == other.present && type == other.type && data == other.data;
    }
};

StoredValue ReadReal(const std::string& path, const char* name)
{
    HKEY key = nullptr;
    if (::RegOpenKeyExA(HKEY_LOCAL_MACHINE, path.c_str(), 0, KEY_READ, &key) != ERROR_SUCCESS) {
        return {false, 0, {}};
    }
    DWORD type = 0;
    DWORD size = 0;
    StoredValue value{false, 0, {}};
    if (::RegQueryValueExA(key, name, nullptr, &type, nullptr, &size) == ERROR_SUCCESS) {
        value.data.resize(size);
        ::RegQueryValueExA(key, name, nullptr, &type, value.data.data(), &size);
        value.present = true;
        value.type = type;
    }
    ::RegCloseKey(key);
    return value;
}

StoredValue ReadModel(const MemoryRegistry& model, const std::string& path, const char* name)
{
    const RegValue* value = model.FindValue(path, name);
    if (value == nullptr) {
        return {false, 0, {}};
    }
    return {true, value->type, value->data};
}

std::vector<std::string> RealValueNames(const std::string& path)
{
    std::vector<std::string> names;
    HKEY key = nullptr;
    if (::RegOpenKeyExA(HKEY_LOCAL_MACHINE, path.c_str(), 0, KEY_READ, &key) != ERROR_SUCCESS) {
        return names;
    }
    char name[256];
    for (DWORD index = 0;; ++index) {
        DWORD length = sizeof name;
        if (::RegEnumValueA(key, index, name, &length, nullptr, nullptr, nullptr, nullptr) !=
            ERROR_SUCCESS) {
            break;
        }
        names.emplace_back(name, length);
    }
    ::RegCloseKey(key);
    return names;
}

std::vector<std::string> RealSubKeyNames(const std::string& path)
{
    std::vector<std::string> names;
    HKEY key = nullptr;
    if (::RegOpenKeyExA(HKEY_LOCAL_MACHINE, path.c_str(), 0, KEY_READ, &key) != ERROR_SUCCESS) {
        return names;
    }
    char name[256];
    for (DWORD index = 0;; ++index) {
        DWORD length = sizeof name;
        if (::RegEnumKeyExA(key, index, name, &length, nullptr, nullptr, nullptr, nullptr) !=
            ERROR_SUCCESS) {
            break;
        }
        names.emplace_back(name, length);
    }
    ::RegCloseKey(key);
    return names;
}

bool RealKeyExists(const std::string& path)
{
    HKEY key = nullptr;
    if (::RegOpenKeyExA(HKEY_LOCAL_MACHINE, path.c_str(), 0, KEY_READ, &key) != ERROR_SUCCESS) {
        return false;
    }
    ::RegCloseKey(key);
    return true;
}

class Win32RegistryStoreTest : public ::testing::Test {
protected:
    void SetUp() override { RemoveServiceKeys(); }
    void TearDown() override { RemoveServiceKeys(); }

    static void RemoveServiceKeys()
    {
        for (std::size_t row = 0; row < kDriverServiceCount; ++row) {
            SetRealDacl(ParametersKey(row), kFullDacl);
            ::RegDeleteTreeA(HKEY_LOCAL_MACHINE, ServiceKey(row).c_str());
            ::RegDeleteKeyA(HKEY_LOCAL_MACHINE, ServiceKey(row).c_str());
        }
    }

    // Seeds the same value into the real registry and the model.
    void Seed(const std::string& path, const char* name, DWORD type,
              const std::vector<unsigned char>& data)
    {
        SetRealValue(path, name, type, data);
        model.SetValue(path, name, type, data);
    }

    void ExpectSameLoad()
    {
        const LoadResult fromReal = realStore.Load();
        const LoadResult fromModel = modelStore.Load();
        EXPECT_EQ(fromReal.found, fromModel.found);
        if (fromReal.found && fromModel.found) {
            EXPECT_EQ(fromReal.mode, fromModel.mode);
            EXPECT_EQ(fromReal.framesNumber, fromModel.framesNumber);
        }
    }

    void ExpectSameStoredValues()
    {
        for (std::size_t row = 0; row < kDriverServiceCount; ++row) {
            for (const char* name : {kExternalSynchModeValueName, kSynchFramesNumberValueName}) {
                EXPECT_EQ(ReadReal(ParametersKey(row), name),
                          ReadModel(model, ParametersKey(row), name))
                    << "row " << row + 1 << ", " << name;
            }
        }
    }

    Win32Registry real;
    MemoryRegistry model;
    DriverParameterStore realStore{real};
    DriverParameterStore modelStore{model};
};

TEST_F(Win32RegistryStoreTest, NoKeysLoadsNothingAndSaveCreatesAllEight)
{
    EXPECT_FALSE(realStore.Load().found);
    ExpectSameLoad();
    const SaveResult saved = realStore.Save(4, 3);
    modelStore.Save(4, 3);
    EXPECT_TRUE(AllWritten(saved));
    ExpectSameStoredValues();
    EXPECT_EQ(ReadReal(ParametersKey(7), kExternalSynchModeValueName).data, DwordBytes(4));
    EXPECT_EQ(ReadReal(ParametersKey(7), kSynchFramesNumberValueName).type,
              static_cast<DWORD>(REG_DWORD));
    const LoadResult loaded = realStore.Load();
    EXPECT_TRUE(loaded.found);
    EXPECT_EQ(loaded.mode, 4u);
    EXPECT_EQ(loaded.framesNumber, 3);
}

TEST_F(Win32RegistryStoreTest, FirstOpenableRowWinsAsTheModelSays)
{
    Seed(ParametersKey(3), kExternalSynchModeValueName, REG_DWORD, DwordBytes(2));
    Seed(ParametersKey(3), kSynchFramesNumberValueName, REG_DWORD, DwordBytes(5));
    Seed(ParametersKey(5), kExternalSynchModeValueName, REG_DWORD, DwordBytes(4));
    ExpectSameLoad();
    EXPECT_EQ(realStore.Load().framesNumber, 5);
}

TEST_F(Win32RegistryStoreTest, ValuesOfOtherTypesLoadAsTheModelSays)
{
    struct Case {
        DWORD type;
        std::vector<unsigned char> data;
    };
    const Case cases[] = {
        {REG_QWORD, {4, 0, 0, 0, 0, 0, 0, 0}},
        {REG_BINARY, {7}},
        {REG_BINARY, {0, 1}},
        {REG_BINARY, {1, 2, 3, 4, 5}},
        {REG_SZ, {'4', 0}},
        {REG_SZ, {'1', '2', '3', '4', 0}},
        {REG_DWORD, DwordBytes(0xFFFFFFFD)},
    };
    for (const Case& modeCase : cases) {
        for (const Case& framesCase : cases) {
            Seed(ParametersKey(0), kExternalSynchModeValueName, modeCase.type, modeCase.data);
            Seed(ParametersKey(0), kSynchFramesNumberValueName, framesCase.type, framesCase.data);
            ExpectSameLoad();
            // How each is stored, as a compliance check sees it.
            const ServiceReading fromReal = realStore.ReadService(0);
            const ServiceReading fromModel = modelStore.ReadService(0);
            for (const auto& shapes : {std::make_pair(fromReal.modeShape, fromModel.modeShape),
                                       std::make_pair(fromReal.framesShape, fromModel.framesShape)}) {
                EXPECT_TRUE(shapes.first.present);
                EXPECT_EQ(shapes.first.type, shapes.second.type);
                EXPECT_EQ(shapes.first.size, shapes.second.size);
            }
        }
    }
}

TEST_F(Win32RegistryStoreTest, SaveLeavesEveryOtherValueAndSubkeyAlone)
{
    Seed(ServiceKey(1), "ImagePath", REG_SZ, {'d', 'r', 'v', 0});
    Seed(ServiceKey(1), "Start", REG_DWORD, DwordBytes(3));
    Seed(ParametersKey(1), "Gain", REG_DWORD, DwordBytes(12));
    Seed(ParametersKey(1), kExternalSynchModeValueName, REG_DWORD, DwordBytes(1));
    Seed(std::string(ParametersKey(1)) + "\\Calibration", "Table", REG_BINARY, {1, 2, 3});

    EXPECT_TRUE(AllWritten(realStore.Save(2, -3)));
    modelStore.Save(2, -3);
    ExpectSameStoredValues();
    EXPECT_EQ(ReadReal(ParametersKey(1), kSynchFramesNumberValueName).data, DwordBytes(0xFFFFFFFD));
    EXPECT_EQ(ReadReal(ServiceKey(1), "ImagePath").data,
              (std::vector<unsigned char>{'d', 'r', 'v', 0}));
    EXPECT_EQ(ReadReal(ServiceKey(1), "Start").data, DwordBytes(3));
    EXPECT_EQ(ReadReal(ParametersKey(1), "Gain").data, DwordBytes(12));
    EXPECT_EQ(ReadReal(std::string(ParametersKey(1)) + "\\Calibration", "Table").data,
              (std::vector<unsigned char>{1, 2, 3}));
    EXPECT_EQ(RealValueNames(ParametersKey(1)).size(), 3u);
    EXPECT_EQ(RealValueNames(ServiceKey(1)).size(), 2u);
    EXPECT_EQ(RealSubKeyNames(ParametersKey(1)), std::vector<std::string>{"Calibration"});
    EXPECT_EQ(RealSubKeyNames(ServiceKey(1)), std::vector<std::string>{"Parameters"});
}

TEST_F(Win32RegistryStoreTest, ReadOnlyKeyLoadsButRefusesTheSave)
{
    Seed(ParametersKey(0), kExternalSynchModeValueName, REG_DWORD, DwordBytes(4));
    Seed(ParametersKey(0), kSynchFramesNumberValueName, REG_DWORD, DwordBytes(3));
    ASSERT_TRUE(SetRealDacl(ParametersKey(0), kReadOnlyDacl));
    model.RestrictAccess(ParametersKey(0), kKeyRead);

    const LoadResult loaded = realStore.Load();
    EXPECT_TRUE(loaded.found);
    EXPECT_EQ(loaded.mode, 4u);
    EXPECT_EQ(loaded.framesNumber, 3);
    ExpectSameLoad();

    const SaveResult saved = realStore.Save(1, 9);
    const SaveResult modelSaved = modelStore.Save(1, 9);
    EXPECT_EQ(saved[0].state, ServiceSaveState::Refused);
    EXPECT_EQ(saved[0].status, 5);
    EXPECT_EQ(modelSaved[0].state, ServiceSaveState::Refused);
    ExpectSameStoredValues();
    EXPECT_EQ(ReadReal(ParametersKey(0), kExternalSynchModeValueName).data, DwordBytes(4));
    // The seven keys the save made before it met the refusal are gone again.
    for (std::size_t row = 1; row < kDriverServiceCount; ++row) {
        EXPECT_EQ(saved[row].state, ServiceSaveState::Unchanged) << "row " << row + 1;
        EXPECT_FALSE(RealKeyExists(ServiceKey(row))) << "row " << row + 1;
    }
}

// Rows 2, 5 and 7 installed and read-only, row 4 installed and writable, the
// others missing: a save changes no key at all and names exactly the three.
TEST_F(Win32RegistryStoreTest, PartialRefusalLeavesEveryKeyAsItWas)
{
    for (std::size_t row : {1u, 3u, 4u, 6u}) {
        Seed(ServiceKey(row), "ImagePath", REG_SZ, {'d', 'r', 'v', 0});
        Seed(ParametersKey(row), kExternalSynchModeValueName, REG_DWORD, DwordBytes(2));
        Seed(ParametersKey(row), kSynchFramesNumberValueName, REG_DWORD, DwordBytes(5));
    }
    for (std::size_t row : {1u, 4u, 6u}) {
        ASSERT_TRUE(SetRealDacl(ParametersKey(row), kReadOnlyDacl));
    }
    const std::vector<std::string> servicesBefore = RealSubKeyNames(kServicesKey);

    const SaveResult saved = realStore.Save(4, 3);
    for (std::size_t row = 0; row < kDriverServiceCount; ++row) {
        const bool refuser = row == 1 || row == 4 || row == 6;
        EXPECT_EQ(saved[row].state, refuser ? ServiceSaveState::Refused : ServiceSaveState::Unchanged)
            << "row " << row + 1;
        EXPECT_EQ(saved[row].status, refuser ? 5 : 0) << "row " << row + 1;
    }
    EXPECT_EQ(RealSubKeyNames(kServicesKey), servicesBefore);
    for (std::size_t row : {1u, 3u, 4u, 6u}) {
        EXPECT_EQ(ReadReal(ParametersKey(row), kExternalSynchModeValueName).data, DwordBytes(2));
        EXPECT_EQ(ReadReal(ParametersKey(row), kSynchFramesNumberValueName).data, DwordBytes(5));
        EXPECT_EQ(RealValueNames(ServiceKey(row)).size(), 1u);
    }
    for (std::size_t row : {0u, 2u, 5u, 7u}) {
        EXPECT_FALSE(RealKeyExists(ServiceKey(row))) << "row " << row + 1;
    }

    // Once the keys are writable again, the same save goes through.
    for (std::size_t row : {1u, 4u, 6u}) {
        ASSERT_TRUE(SetRealDacl(ParametersKey(row), kFullDacl));
    }
    EXPECT_TRUE(AllWritten(realStore.Save(4, 3)));
    for (std::size_t row = 0; row < kDriverServiceCount; ++row) {
        EXPECT_EQ(ReadReal(ParametersKey(row), kExternalSynchModeValueName).data, DwordBytes(4));
        EXPECT_EQ(ReadReal(ParametersKey(row), kSynchFramesNumberValueName).data, DwordBytes(3));
    }
}

TEST_F(Win32RegistryStoreTest, AKeyGrantingOnlyReadAndSetValueTakesTheSave)
{
    for (std::size_t row = 0; row < kDriverServiceCount; ++row) {
        Seed(ParametersKey(row), kExternalSynchModeValueName, REG_DWORD, DwordBytes(2));
        ASSERT_TRUE(SetRealDacl(ParametersKey(row), "D:P(A;;0x2001b;;;WD)"));
    }
    EXPECT_TRUE(AllWritten(realStore.Save(4, 3)));
    for (std::size_t row = 0; row < kDriverServiceCount; ++row) {
        EXPECT_EQ(ReadReal(ParametersKey(row), kExternalSynchModeValueName).data, DwordBytes(4));
    }
}

TEST_F(Win32RegistryStoreTest, KeyDenyingAllAccessIsSkippedOnLoad)
{
    Seed(ParametersKey(0), kExternalSynchModeValueName, REG_DWORD, DwordBytes(4));
    Seed(ParametersKey(1), kExternalSynchModeValueName, REG_DWORD, DwordBytes(2));
    ASSERT_TRUE(SetRealDacl(ParametersKey(0), "D:P"));
    model.RestrictAccess(ParametersKey(0), 0);
    EXPECT_EQ(realStore.Load().mode, 2u);
    ExpectSameLoad();
}

} // namespace
