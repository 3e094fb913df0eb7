// An in-memory registry for tests. It models what the driver parameter store
// relies on: case-insensitive key and value names, missing parent keys created
// with a key, values kept with their type and bytes, the fixed-buffer query
// with ERROR_MORE_DATA, keys that refuse some access, a log of the calls made,
// the handles still open, and a fault injected at any chosen call.
#pragma once

#include "registry_access.h"

#include <cstddef>
#include <map>
#include <memory>
#include <string>
#include <vector>

// The rest of the Win32 codes that the model answers with or is set up with.
inline constexpr RegStatus kErrorInvalidHandle = 6;
inline constexpr RegStatus kErrorInvalidParameter = 87;
// A failure that is no refusal, for the tests' injected faults.
inline constexpr RegStatus kErrorFileCorrupt = 1392;

inline constexpr std::uint32_t kKeyCreateSubKey = 0x0004;
inline constexpr std::uint32_t kDelete = 0x10000;

inline constexpr std::uint32_t kRegSz = 1;
inline constexpr std::uint32_t kRegBinary = 3;
inline constexpr std::uint32_t kRegQword = 11;

inline constexpr std::uint32_t kRegOpenedExistingKey = 2;

// REG_DWORD data: the value's four bytes, least significant first.
std::vector<unsigned char> DwordBytes(std::uint32_t value);

enum class RegOperation { OpenKey, CreateKey, QueryValue, SetValue, CloseKey, DeleteKey, QueryInfoKey };

struct RegCall {
    RegOperation operation;
    RegKey key;           // the key the operation was given
    std::string name;     // sub key path or value name; empty for a close
    std::uint32_t access; // requested access for an open or a create, else 0
    RegStatus status;
};

struct RegValue {
    std::uint32_t type;
    std::vector<unsigned char> data;
};

class MemoryRegistry final : public RegistryAccess {
public:
    MemoryRegistry();
    ~MemoryRegistry() override;
    MemoryRegistry(const MemoryRegistry&) = delete;
    MemoryRegistry& operator=(const MemoryRegistry&) = delete;

    // RegistryAccess.
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
    // Empty, unless `TellStatusesBy` gave words for statuses.
    StatusText SystemText(RegStatus status) const override;

    // Statuses told in words: a test's own, or the system's where the test
    // runs on Windows. Null for none.
    using StatusWords = StatusText (*)(RegStatus status);
    void TellStatusesBy(StatusWords words) { statusWords_ = words; }

    // Set-up and inspection, by path below HKEY_LOCAL_MACHINE. None of these
    // is logged as a call.
    void CreateKey(const std::string& path);
    bool KeyExists(const std::string& path) const;
    void DeleteKey(const std::string& path);
    void SetValue(const std::string& path, const std::string& name, std::uint32_t type,
                  std::vector<unsigned char> data);
    void SetDword(const std::string& path, const std::string& name, std::uint32_t value);
    // Null when the key or the value does not exist.
    const RegValue* FindValue(const std::string& path, const std::string& name) const;
    std::vector<std::string> ValueNames(const std::string& path) const;
    std::vector<std::string> SubKeyNames(const std::string& path) const;
    // Every key and value, one line each, in tree order: "path" for a key,
    // "path\\name = type:hex bytes" for a value. For before-and-after checks.
    std::vector<std::string> Dump() const;

    // Opens and creates of this key asking for any right outside `allowed`
    // fail with ERROR_ACCESS_DENIED, as a key whose DACL grants only those;
    // so does deleting it unless DELETE is allowed.
    void RestrictAccess(const std::string& path, std::uint32_t allowed);
    // Every right: a key restricted to it is not restricted, as none is at first.
    static constexpr std::uint32_t kAllowEverything = 0xFFFFFFFFu;

    // The occurrence-th call (counting from 1) of `operation` fails with
    // `status` and has no effect. One fault at a time; a new one replaces it.
    void InjectFault(RegOperation operation, std::size_t occurrence, RegStatus status);
    void ClearFault();

    const std::vector<RegCall>& Calls() const { return calls_; }
    std::size_t CountCalls(RegOperation operation) const;
    void ClearCalls() { calls_.clear(); }
    // Handles opened or created and not yet closed.
    std::size_t OpenKeyCount() const { return handles_.size(); }

private:
    struct Node;
    struct Handle {
        Node* node;
        std::uint32_t access;
    };

    Node* Find(const std::string& path) const;
    Node* Ensure(const std::string& path);
    Node* FindFrom(Node* start, const std::string& path) const;
    Node* CreateFrom(Node* start, const std::string& path, bool* created);
    Node* Resolve(RegKey key, std::uint32_t* access) const;
    bool TakeFault(RegOperation operation, RegStatus* status);
    RegStatus Log(RegOperation operation, RegKey key, const char* name, std::uint32_t access,
                  RegStatus status);
    RegKey NewHandle(Node* node, std::uint32_t access);
    void Remove(Node* parent, Node* doomed);

    std::unique_ptr<Node> root_;
    std::map<RegKey, Handle> handles_;
    RegKey nextHandle_;
    std::vector<RegCall> calls_;
    std::map<RegOperation, std::size_t> callCounts_;
    bool faultArmed_;
    RegOperation faultOperation_;
    std::size_t faultOccurrence_;
    RegStatus faultStatus_;
    StatusWords statusWords_ = nullptr;
};
