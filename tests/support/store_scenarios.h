// The store's load and save over a registry, written once and run over each
// registry there is: the in-memory model (core_tests) and the real Win32
// registry under a scratch HKEY_LOCAL_MACHINE (platform_tests). Passing
// both, the two registries agree on what is loaded and what is left stored.
//
// A backend holds the registry and offers the set-up and inspection the
// scenarios need, by path below HKEY_LOCAL_MACHINE:
//   RegistryAccess& Registry();
//   void SetValue(path, name, type, data); void CreateKey(path);
//   void DeleteServiceKey(row);  // with all below it, whatever its DACL
//   void Restrict(path, allowed);  // opens asking for more fail with 5
//   std::optional<RegValue> Find(path, name); bool KeyExists(path);
//   std::vector<std::string> ValueNames(path), SubKeyNames(path) (sorted);
//   std::vector<std::string> Dump();  // the services' trees, for before and after
//   const std::vector<RegCall>* Calls();  // null where calls are not logged
//   void ClearCalls();
//   void ExpectEveryHandleClosed();
#pragma once

#include "driver_parameter_store.h"
#include "memory_registry.h"
#include "sync_settings.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <optional>
#include <string>
#include <utility>
#include <vector>

inline const char* ParametersKeyOf(std::size_t row)
{
    return DriverServiceList[row].parametersKey;
}

inline const char* ServiceKeyOf(std::size_t row)
{
    return DriverServiceList[row].serviceKey;
}

// The key above every service's, without the closing backslash.
inline const std::string kServicesKeyPath(QUORIN_SERVICES_KEY, sizeof QUORIN_SERVICES_KEY - 2);

template <typename Backend>
class StoreOverRegistry : public ::testing::Test {
protected:
    void TearDown() override { backend.ExpectEveryHandleClosed(); }

    void Seed(std::size_t row, std::uint32_t mode, std::int32_t frames)
    {
        backend.SetValue(ParametersKeyOf(row), kExternalSynchModeValueName, kRegDword,
                         DwordBytes(mode));
        backend.SetValue(ParametersKeyOf(row), kSynchFramesNumberValueName, kRegDword,
                         DwordBytes(static_cast<std::uint32_t>(frames)));
    }

    void ExpectStored(std::size_t row, std::uint32_t mode, std::int32_t frames)
    {
        const std::pair<const char*, std::uint32_t> wanted[] = {
            {kExternalSynchModeValueName, mode},
            {kSynchFramesNumberValueName, static_cast<std::uint32_t>(frames)}};
        for (const auto& value : wanted) {
            const std::optional<RegValue> stored = backend.Find(ParametersKeyOf(row), value.first);
            ASSERT_TRUE(stored.has_value()) << "row " << row + 1 << ", " << value.first;
            EXPECT_EQ(stored->type, kRegDword) << "row " << row + 1;
            EXPECT_EQ(stored->data, DwordBytes(value.second)) << "row " << row + 1;
        }
    }

    void ExpectLoad(bool found, std::uint32_t mode, std::int32_t frames)
    {
        const LoadResult loaded = store.Load();
        EXPECT_EQ(loaded.found, found);
        EXPECT_EQ(loaded.mode, mode);
        EXPECT_EQ(loaded.framesNumber, frames);
    }

    // The keys a walk opened or created, in order, where the backend logs
    // its calls; checked only there.
    void ExpectOpened(const std::vector<std::string>& paths)
    {
        const std::vector<RegCall>* calls = backend.Calls();
        if (calls == nullptr) {
            return;
        }
        std::vector<std::string> opened;
        for (const RegCall& call : *calls) {
            if (call.operation == RegOperation::OpenKey || call.operation == RegOperation::CreateKey) {
                opened.push_back(call.name);
            }
        }
        EXPECT_EQ(opened, paths);
    }

    // How many calls of `operation` were made, where the backend logs them.
    void ExpectCallCount(RegOperation operation, std::size_t count, const char* why)
    {
        const std::vector<RegCall>* calls = backend.Calls();
        if (calls != nullptr) {
            EXPECT_EQ(std::count_if(calls->begin(), calls->end(),
                                    [operation](const RegCall& call) { return call.operation == operation; }),
                      static_cast<std::ptrdiff_t>(count))
                << why;
        }
    }

    // Every service's key gone, as on a machine without the drivers.
    void RemoveEveryServiceKey()
    {
        for (std::size_t row = 0; row < kDriverServiceCount; ++row) {
            backend.DeleteServiceKey(row);
        }
    }

    Backend backend;
    DriverParameterStore store{backend.Registry()};
};

TYPED_TEST_SUITE_P(StoreOverRegistry);

TYPED_TEST_P(StoreOverRegistry, NoKeysLoadsNothingAndASaveMakesAllEightAsALoadReadsThem)
{
    this->ExpectLoad(false, kDefaultSynchMode, kDefaultFramesNumber);
    std::vector<std::string> everyRow;
    for (std::size_t row = 0; row < kDriverServiceCount; ++row) {
        everyRow.emplace_back(ParametersKeyOf(row));
    }
    this->ExpectOpened(everyRow);

    const SaveResult saved = this->store.Save(2, -3);
    EXPECT_TRUE(AllWritten(saved));
    EXPECT_FALSE(SaveRefused(saved));
    for (std::size_t row = 0; row < kDriverServiceCount; ++row) {
        this->ExpectStored(row, 2, -3);
        EXPECT_EQ(saved[row].state, ServiceSaveState::Written);
        EXPECT_EQ(saved[row].status, kErrorSuccess);
        // Read after the key was made: there, holding neither value.
        EXPECT_TRUE(saved[row].before.found);
        EXPECT_FALSE(saved[row].before.modeShape.present);
        EXPECT_FALSE(saved[row].before.framesShape.present);
    }
    this->ExpectLoad(true, 2, -3);
}

TYPED_TEST_P(StoreOverRegistry, LoadTakesTheFirstRowThatOpensAndStopsThere)
{
    struct Seeded {
        std::size_t row;
        std::uint32_t mode;
        std::int32_t frames;
    };
    // The rows seeded, the first of them the one a load reads.
    const std::vector<Seeded> cases[] = {
        {{1, 2, 20}, {2, 4, 30}}, {{0, 1, 7}, {2, 4, 9}}, {{3, 2, 5}}, {{3, 2, 5}, {5, 4, 6}}};
    for (const std::vector<Seeded>& seeded : cases) {
        this->RemoveEveryServiceKey();
        for (const Seeded& service : seeded) {
            this->Seed(service.row, service.mode, service.frames);
        }
        this->backend.ClearCalls();
        this->ExpectLoad(true, seeded.front().mode, seeded.front().frames);
        std::vector<std::string> walked;
        for (std::size_t row = 0; row <= seeded.front().row; ++row) {
            walked.emplace_back(ParametersKeyOf(row));
        }
        this->ExpectOpened(walked);
        if (seeded.front().row == 0) {
            this->ExpectCallCount(RegOperation::QueryValue, 2, "open, two queries, close");
            this->ExpectCallCount(RegOperation::CloseKey, 1, "open, two queries, close");
        }
    }
}

TYPED_TEST_P(StoreOverRegistry, LoadMatchesKeyAndValueNamesWhateverTheirCase)
{
    this->backend.SetValue("system\\currentcontrolset\\SERVICES\\quorin\\parameters",
                           "external SYNCH mode", kRegDword, DwordBytes(4));
    this->ExpectLoad(true, 4, kDefaultFramesNumber);
}

TYPED_TEST_P(StoreOverRegistry, LoadGivesDefaultsForMissingValues)
{
    this->backend.CreateKey(ParametersKeyOf(1));
    this->ExpectLoad(true, kDefaultSynchMode, kDefaultFramesNumber);
    // A service read alone: a missing key, and a key without the values,
    // hold nothing that was read, and no value at all.
    for (std::size_t row : {0u, 1u}) {
        const ServiceReading reading = this->store.ReadService(row);
        EXPECT_EQ(reading.found, row == 1) << row;
        EXPECT_FALSE(reading.modeRead || reading.framesRead) << row;
        EXPECT_FALSE(reading.modeShape.present || reading.framesShape.present) << row;
        EXPECT_EQ(reading.mode, kDefaultSynchMode);
        EXPECT_EQ(reading.framesNumber, kDefaultFramesNumber);
    }
}

// Data of four bytes or fewer is laid over the value's default whatever its
// type (one byte over 01 00 00 00 replaces only the first); longer data
// leaves the default. How each is stored is told as the registry has it.
TYPED_TEST_P(StoreOverRegistry, ValuesOfEveryTypeAndSizeLoadAsTheDriverReadsThem)
{
    struct Case {
        std::uint32_t type;
        std::vector<unsigned char> data;
        std::uint32_t asMode;  // over the default 0
        std::int32_t asFrames; // over the default 1
    };
    const Case cases[] = {
        {kRegQword, {4, 0, 0, 0, 0, 0, 0, 0}, 0, 1},
        {kRegBinary, {7}, 7, 7},
        {kRegBinary, {0, 1}, 256, 256},
        {kRegBinary, {1, 2, 3, 4, 5}, 0, 1},
        {kRegSz, {'4', 0}, 0x34, 0x34},
        {kRegSz, {'1', '2', '3', '4', 0}, 0, 1},
        {kRegDword, DwordBytes(0xFFFFFFFD), 0xFFFFFFFD, -3},
    };
    for (const Case& modeCase : cases) {
        for (const Case& framesCase : cases) {
            this->backend.SetValue(ParametersKeyOf(0), kExternalSynchModeValueName, modeCase.type,
                                   modeCase.data);
            this->backend.SetValue(ParametersKeyOf(0), kSynchFramesNumberValueName,
                                   framesCase.type, framesCase.data);
            this->ExpectLoad(true, modeCase.asMode, framesCase.asFrames);
            const ServiceReading reading = this->store.ReadService(0);
            for (const auto& shape : {std::make_pair(reading.modeShape, &modeCase),
                                      std::make_pair(reading.framesShape, &framesCase)}) {
                EXPECT_TRUE(shape.first.present);
                EXPECT_EQ(shape.first.type, shape.second->type);
                EXPECT_EQ(shape.first.size, shape.second->data.size());
            }
        }
    }
}

TYPED_TEST_P(StoreOverRegistry, SaveChangesTheTwoValuesAndNothingElse)
{
    TypeParam& backend = this->backend;
    const std::string parameters = ParametersKeyOf(3);
    backend.SetValue(ServiceKeyOf(3), "ImagePath", kRegSz, {'q', 0});
    backend.SetValue(ServiceKeyOf(3), "Start", kRegDword, DwordBytes(3));
    backend.SetValue(parameters, "Other", kRegDword, DwordBytes(77));
    backend.SetValue(parameters, kExternalSynchModeValueName, kRegDword, DwordBytes(1));
    backend.SetValue(parameters + "\\Sub", "Table", kRegBinary, {1, 2, 3});

    EXPECT_TRUE(AllWritten(this->store.Save(0, 12)));
    this->ExpectStored(3, 0, 12);
    EXPECT_EQ(backend.Find(ServiceKeyOf(3), "ImagePath")->data, (std::vector<unsigned char>{'q', 0}));
    EXPECT_EQ(backend.Find(ServiceKeyOf(3), "Start")->data, DwordBytes(3));
    EXPECT_EQ(backend.Find(parameters, "Other")->data, DwordBytes(77));
    EXPECT_EQ(backend.Find(parameters + "\\Sub", "Table")->data, (std::vector<unsigned char>{1, 2, 3}));
    EXPECT_EQ(backend.ValueNames(parameters),
              (std::vector<std::string>{kExternalSynchModeValueName, "Other",
                                        kSynchFramesNumberValueName}));
    EXPECT_EQ(backend.ValueNames(ServiceKeyOf(3)), (std::vector<std::string>{"ImagePath", "Start"}));
    EXPECT_EQ(backend.SubKeyNames(parameters), std::vector<std::string>{"Sub"});
    EXPECT_EQ(backend.SubKeyNames(ServiceKeyOf(3)), std::vector<std::string>{"Parameters"});
}

// A key that only reads still loads; the save it refuses writes nothing,
// and the keys the save made before it met the refusal are gone again.
TYPED_TEST_P(StoreOverRegistry, ReadOnlyKeysLoadButRefuseTheSave)
{
    // The read-only rows: the first alone, then all eight.
    const std::vector<std::size_t> cases[] = {{0}, {0, 1, 2, 3, 4, 5, 6, 7}};
    for (const std::vector<std::size_t>& readOnly : cases) {
        TypeParam& backend = this->backend;
        this->RemoveEveryServiceKey();
        for (std::size_t row : readOnly) {
            this->Seed(row, 4, 3);
            backend.Restrict(ParametersKeyOf(row), kKeyRead);
        }
        this->ExpectLoad(true, 4, 3);
        backend.ClearCalls();
        const SaveResult saved = this->store.Save(1, 9);
        this->ExpectCallCount(RegOperation::SetValue, 0, "a refused save writes no value");
        for (std::size_t row = 0; row < kDriverServiceCount; ++row) {
            const bool refuser = row < readOnly.size();
            EXPECT_EQ(saved[row].state, refuser ? ServiceSaveState::Refused : ServiceSaveState::Unchanged)
                << "row " << row + 1;
            EXPECT_EQ(saved[row].status, refuser ? kErrorAccessDenied : kErrorSuccess);
            if (refuser) {
                this->ExpectStored(row, 4, 3);
            } else {
                EXPECT_FALSE(backend.KeyExists(ServiceKeyOf(row))) << "row " << row + 1;
            }
        }
        this->ExpectLoad(true, 4, 3);
    }
}

// Rows 2, 5 and 7 installed and read-only, row 4 installed and writable, the
// others missing, so the save makes their keys before it learns of the
// refusals: it changes no key at all, names exactly the three, and once
// they are writable again the same save goes through.
TYPED_TEST_P(StoreOverRegistry, PartialRefusalLeavesEveryKeyAsItWasAndNamesTheRefusers)
{
    TypeParam& backend = this->backend;
    for (std::size_t row : {1u, 3u, 4u, 6u}) {
        backend.SetValue(ServiceKeyOf(row), "ImagePath", kRegSz, {'d', 'r', 'v', 0});
        this->Seed(row, 2, 5);
    }
    for (std::size_t row : {1u, 4u, 6u}) {
        backend.Restrict(ParametersKeyOf(row), kKeyRead);
    }
    const std::vector<std::string> before = backend.Dump();
    const std::vector<std::string> servicesBefore = backend.SubKeyNames(kServicesKeyPath);

    const SaveResult saved = this->store.Save(4, 3);
    EXPECT_TRUE(SaveRefused(saved));
    EXPECT_FALSE(AllWritten(saved));
    for (std::size_t row = 0; row < kDriverServiceCount; ++row) {
        const bool refuser = row == 1 || row == 4 || row == 6;
        EXPECT_EQ(saved[row].state, refuser ? ServiceSaveState::Refused : ServiceSaveState::Unchanged)
            << "row " << row + 1;
        EXPECT_EQ(saved[row].status, refuser ? kErrorAccessDenied : kErrorSuccess) << "row " << row + 1;
    }
    this->ExpectCallCount(RegOperation::SetValue, 0, "a refused save writes no value");
    EXPECT_EQ(backend.Dump(), before) << "the keys made for rows 1, 3, 6 and 8 are gone again";
    EXPECT_EQ(backend.SubKeyNames(kServicesKeyPath), servicesBefore);
    this->ExpectLoad(true, 2, 5);

    for (std::size_t row : {1u, 4u, 6u}) {
        backend.Restrict(ParametersKeyOf(row), MemoryRegistry::kAllowEverything);
    }
    EXPECT_TRUE(AllWritten(this->store.Save(4, 3)));
    for (std::size_t row = 0; row < kDriverServiceCount; ++row) {
        this->ExpectStored(row, 4, 3);
    }
}

TYPED_TEST_P(StoreOverRegistry, RefusalKeepsAServiceKeyThatHeldSomethingAndRemovesOnlyWhatItMade)
{
    // QuorinDx is installed (values, no Parameters key); QuorinRv has only
    // an Enum subkey; the others are missing entirely.
    TypeParam& backend = this->backend;
    backend.SetValue(ServiceKeyOf(1), "Start", kRegDword, DwordBytes(3));
    backend.CreateKey(std::string(ServiceKeyOf(2)) + "\\Enum");
    this->Seed(7, 0, 1);
    backend.Restrict(ParametersKeyOf(7), kKeyRead);
    const std::vector<std::string> before = backend.Dump();

    const SaveResult saved = this->store.Save(1, 1);
    EXPECT_EQ(saved[7].state, ServiceSaveState::Refused);
    EXPECT_EQ(backend.Dump(), before);
    EXPECT_TRUE(backend.KeyExists(ServiceKeyOf(1)));
    EXPECT_FALSE(backend.KeyExists(ParametersKeyOf(1)));
    EXPECT_EQ(backend.SubKeyNames(ServiceKeyOf(2)), std::vector<std::string>{"Enum"});
    EXPECT_FALSE(backend.KeyExists(ServiceKeyOf(0)));
}

// A site may grant a group only "Set Value" besides reading: that is all a
// save asks for.
TYPED_TEST_P(StoreOverRegistry, AKeyGrantingOnlyReadAndSetValueTakesTheSave)
{
    for (std::size_t row = 0; row < kDriverServiceCount; ++row) {
        this->Seed(row, 2, 5);
        this->backend.Restrict(ParametersKeyOf(row), kKeyRead | kKeySetValue);
    }
    EXPECT_TRUE(AllWritten(this->store.Save(4, 3)));
    for (std::size_t row = 0; row < kDriverServiceCount; ++row) {
        this->ExpectStored(row, 4, 3);
    }
}

TYPED_TEST_P(StoreOverRegistry, LoadSkipsAKeyThatDeniesReading)
{
    this->Seed(0, 4, 3);
    this->Seed(1, 2, 8);
    this->backend.Restrict(ParametersKeyOf(0), 0);
    this->ExpectLoad(true, 2, 8);
}

REGISTER_TYPED_TEST_SUITE_P(StoreOverRegistry,
                            NoKeysLoadsNothingAndASaveMakesAllEightAsALoadReadsThem,
                            LoadTakesTheFirstRowThatOpensAndStopsThere,
                            LoadMatchesKeyAndValueNamesWhateverTheirCase,
                            LoadGivesDefaultsForMissingValues,
                            ValuesOfEveryTypeAndSizeLoadAsTheDriverReadsThem,
                            SaveChangesTheTwoValuesAndNothingElse, ReadOnlyKeysLoadButRefuseTheSave,
                            PartialRefusalLeavesEveryKeyAsItWasAndNamesTheRefusers,
                            RefusalKeepsAServiceKeyThatHeldSomethingAndRemovesOnlyWhatItMade,
                            AKeyGrantingOnlyReadAndSetValueTakesTheSave,
                            LoadSkipsAKeyThatDeniesReading);

// The in-memory model as a backend.
class MemoryBackend {
public:
    RegistryAccess& Registry() { return registry_; }
    MemoryRegistry& Model() { return registry_; }
    void SetValue(const std::string& path, const std::string& name, std::uint32_t type,
                  const std::vector<unsigned char>& data)
    {
        registry_.SetValue(path, name, type, data);
    }
    void CreateKey(const std::string& path) { registry_.CreateKey(path); }
    void DeleteServiceKey(std::size_t row) { registry_.DeleteKey(ServiceKeyOf(row)); }
    void Restrict(const std::string& path, std::uint32_t allowed)
    {
        registry_.RestrictAccess(path, allowed);
    }
    std::optional<RegValue> Find(const std::string& path, const std::string& name) const
    {
        const RegValue* value = registry_.FindValue(path, name);
        return value != nullptr ? std::optional<RegValue>(*value) : std::nullopt;
    }
    bool KeyExists(const std::string& path) const { return registry_.KeyExists(path); }
    std::vector<std::string> ValueNames(const std::string& path) const
    {
        return Sorted(registry_.ValueNames(path));
    }
    std::vector<std::string> SubKeyNames(const std::string& path) const
    {
        return Sorted(registry_.SubKeyNames(path));
    }
    std::vector<std::string> Dump() const { return registry_.Dump(); }
    const std::vector<RegCall>* Calls() const { return &registry_.Calls(); }
    void ClearCalls() { registry_.ClearCalls(); }
    void ExpectEveryHandleClosed() const
    {
        EXPECT_EQ(registry_.OpenKeyCount(), 0u) << "a key handle was left open";
    }

private:
    static std::vector<std::string> Sorted(std::vector<std::string> names)
    {
        std::sort(names.begin(), names.end());
        return names;
    }

    MemoryRegistry registry_;
};
