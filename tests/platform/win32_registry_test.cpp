// The store over the real Win32 registry (run under Wine): the same
// scenarios as over the in-memory model, so the two agree on what is loaded
// and on what is left stored. The test program runs with
// HKEY_LOCAL_MACHINE redirected to a scratch key, so the keys below are
// that scratch key's, never the machine's.
#include "store_scenarios.h"
#include "win32_key_dacl.h"
#include "win32_registry.h"

#include <windows.h>

#include <cstdio>

namespace {

// Grants everyone everything, so a key can be changed and removed again.
const char* const kFullDacl = "D:P(A;;KA;;;WD)";

// A key's value names or subkey names, sorted.
std::vector<std::string> Names(const std::string& path, bool subKeys)
{
    std::vector<std::string> names;
    HKEY key = nullptr;
    if (::RegOpenKeyExA(HKEY_LOCAL_MACHINE, path.c_str(), 0, KEY_READ, &key) != ERROR_SUCCESS) {
        return names;
    }
    char name[256];
    for (DWORD index = 0;; ++index) {
        DWORD length = sizeof name;
        const LONG status =
            subKeys ? ::RegEnumKeyExA(key, index, name, &length, nullptr, nullptr, nullptr, nullptr)
                    : ::RegEnumValueA(key, index, name, &length, nullptr, nullptr, nullptr, nullptr);
        if (status != ERROR_SUCCESS) {
            break;
        }
        names.emplace_back(name, length);
    }
    ::RegCloseKey(key);
    std::sort(names.begin(), names.end());
    return names;
}

// The real registry as a backend; every service's key is removed before
// and after each test.
class Win32Backend {
public:
    Win32Backend() { RemoveServiceKeys(); }
    ~Win32Backend() { RemoveServiceKeys(); }
    Win32Backend(const Win32Backend&) = delete;
    Win32Backend& operator=(const Win32Backend&) = delete;

    RegistryAccess& Registry() { return registry_; }

    void SetValue(const std::string& path, const std::string& name, std::uint32_t type,
                  const std::vector<unsigned char>& data)
    {
        HKEY key = Create(path);
        ASSERT_NE(key, nullptr) << path;
        EXPECT_EQ(::RegSetValueExA(key, name.c_str(), 0, type, data.data(),
                                   static_cast<DWORD>(data.size())),
                  ERROR_SUCCESS)
            << path << "\\" << name;
        ::RegCloseKey(key);
    }

    void CreateKey(const std::string& path)
    {
        HKEY key = Create(path);
        ASSERT_NE(key, nullptr) << path;
        ::RegCloseKey(key);
    }

    static void DeleteServiceKey(std::size_t row)
    {
        (void)SetKeyDacl(ParametersKeyOf(row), kFullDacl);
        ::RegDeleteTreeA(HKEY_LOCAL_MACHINE, ServiceKeyOf(row));
        ::RegDeleteKeyA(HKEY_LOCAL_MACHINE, ServiceKeyOf(row));
    }

    // The key's DACL grants everyone `allowed` and no more.
    void Restrict(const std::string& path, std::uint32_t allowed)
    {
        char sddl[64] = "D:P";
        if (allowed == MemoryRegistry::kAllowEverything) {
            std::snprintf(sddl, sizeof sddl, "%s", kFullDacl);
        } else if (allowed != 0) {
            std::snprintf(sddl, sizeof sddl, "D:P(A;;0x%lx;;;WD)", static_cast<unsigned long>(allowed));
        }
        ASSERT_TRUE(SetKeyDacl(path.c_str(), sddl)) << path << " " << sddl;
    }

    std::optional<RegValue> Find(const std::string& path, const std::string& name)
    {
        HKEY key = nullptr;
        if (::RegOpenKeyExA(HKEY_LOCAL_MACHINE, path.c_str(), 0, KEY_READ, &key) != ERROR_SUCCESS) {
            return std::nullopt;
        }
        DWORD type = 0;
        DWORD size = 0;
        RegValue value{0, {}};
        LONG status = ::RegQueryValueExA(key, name.c_str(), nullptr, &type, nullptr, &size);
        if (status == ERROR_SUCCESS) {
            value.data.resize(size);
            status = ::RegQueryValueExA(key, name.c_str(), nullptr, &type, value.data.data(), &size);
            value.type = type;
        }
        ::RegCloseKey(key);
        return status == ERROR_SUCCESS ? std::optional<RegValue>(value) : std::nullopt;
    }

    bool KeyExists(const std::string& path)
    {
        HKEY key = nullptr;
        if (::RegOpenKeyExA(HKEY_LOCAL_MACHINE, path.c_str(), 0, KEY_READ, &key) != ERROR_SUCCESS) {
            return false;
        }
        ::RegCloseKey(key);
        return true;
    }

    std::vector<std::string> ValueNames(const std::string& path) { return Names(path, false); }
    std::vector<std::string> SubKeyNames(const std::string& path) { return Names(path, true); }

    // Every service's tree: each key's path, then each value with its type
    // and bytes.
    std::vector<std::string> Dump()
    {
        std::vector<std::string> lines;
        for (std::size_t row = 0; row < kDriverServiceCount; ++row) {
            DumpTree(ServiceKeyOf(row), lines);
        }
        return lines;
    }

    // The real registry logs no calls.
    const std::vector<RegCall>* Calls() const { return nullptr; }
    void ClearCalls() {}
    void ExpectEveryHandleClosed() const {}

private:
    static HKEY Create(const std::string& path)
    {
        HKEY key = nullptr;
        return ::RegCreateKeyExA(HKEY_LOCAL_MACHINE, path.c_str(), 0, nullptr, 0, KEY_ALL_ACCESS,
                                 nullptr, &key, nullptr) == ERROR_SUCCESS
                   ? key
                   : nullptr;
    }

    void DumpTree(const std::string& path, std::vector<std::string>& lines)
    {
        if (!KeyExists(path)) {
            return;
        }
        lines.push_back(path);
        for (const std::string& name : ValueNames(path)) {
            const std::optional<RegValue> value = Find(path, name);
            std::string line = path + "\\" + name + " = " + std::to_string(value->type) + ":";
            for (unsigned char byte : value->data) {
                line += " " + std::to_string(byte);
            }
            lines.push_back(line);
        }
        for (const std::string& sub : SubKeyNames(path)) {
            DumpTree(path + "\\" + sub, lines);
        }
    }

    static void RemoveServiceKeys()
    {
        for (std::size_t row = 0; row < kDriverServiceCount; ++row) {
            DeleteServiceKey(row);
        }
    }

    Win32Registry registry_;
};

} // namespace

INSTANTIATE_TYPED_TEST_SUITE_P(Win32, StoreOverRegistry, Win32Backend);
