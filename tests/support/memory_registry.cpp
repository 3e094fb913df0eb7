// The in-memory registry: a tree of keys below HKEY_LOCAL_MACHINE.
#include "memory_registry.h"

#include <algorithm>
#include <cctype>
#include <cstring>
#include <utility>

namespace {

constexpr RegKey kFirstHandle = 0x1000;
constexpr char kPathSeparator = '\\';

bool SameName(const std::string& a, const std::string& b)
{
    return a.size() == b.size() &&
           std::equal(a.begin(), a.end(), b.begin(), [](char x, char y) {
               return std::tolower(static_cast<unsigned char>(x)) ==
                      std::tolower(static_cast<unsigned char>(y));
           });
}

std::vector<std::string> SplitPath(const std::string& path)
{
    std::vector<std::string> parts;
    std::string part;
    for (char c : path) {
        if (c == kPathSeparator) {
            if (!part.empty()) {
                parts.push_back(part);
            }
            part.clear();
        } else {
            part += c;
        }
    }
    if (!part.empty()) {
        parts.push_back(part);
    }
    return parts;
}

} // namespace

struct MemoryRegistry::Node {
    std::string name;
    std::vector<std::unique_ptr<Node>> children;
    std::vector<std::pair<std::string, RegValue>> values;
    std::uint32_t allowedAccess = MemoryRegistry::kAllowEverything;

    Node* Child(const std::string& childName) const
    {
        for (const auto& child : children) {
            if (SameName(child->name, childName)) {
                return child.get();
            }
        }
        return nullptr;
    }

    RegValue* Value(const std::string& valueName)
    {
        for (auto& value : values) {
            if (SameName(value.first, valueName)) {
                return &value.second;
            }
        }
        return nullptr;
    }

    Node* AddChild(const std::string& childName)
    {
        children.push_back(std::make_unique<Node>());
        children.back()->name = childName;
        return children.back().get();
    }

    void Put(const std::string& valueName, RegValue value)
    {
        if (RegValue* existing = Value(valueName)) {
            *existing = std::move(value);
        } else {
            values.emplace_back(valueName, std::move(value));
        }
    }

    bool Contains(const Node* other) const
    {
        if (other == this) {
            return true;
        }
        return std::any_of(children.begin(), children.end(),
                           [other](const auto& child) { return child->Contains(other); });
    }
};

MemoryRegistry::MemoryRegistry()
    : root_(std::make_unique<Node>()), nextHandle_(kFirstHandle), faultArmed_(false),
      faultOperation_(RegOperation::OpenKey), faultOccurrence_(0), faultStatus_(kErrorSuccess)
{
    root_->name = "HKEY_LOCAL_MACHINE";
}

MemoryRegistry::~MemoryRegistry() = default;

StatusText MemoryRegistry::SystemText(RegStatus status) const
{
    return statusWords_ != nullptr ? statusWords_(status) : StatusText{};
}

MemoryRegistry::Node* MemoryRegistry::FindFrom(Node* start, const std::string& path) const
{
    Node* node = start;
    for (const std::string& part : SplitPath(path)) {
        node = node->Child(part);
        if (node == nullptr) {
            return nullptr;
        }
    }
    return node;
}

MemoryRegistry::Node* MemoryRegistry::Find(const std::string& path) const
{
    return FindFrom(root_.get(), path);
}

MemoryRegistry::Node* MemoryRegistry::CreateFrom(Node* start, const std::string& path,
                                                 bool* created)
{
    Node* node = start;
    *created = false;
    for (const std::string& part : SplitPath(path)) {
        Node* child = node->Child(part);
        if (child == nullptr) {
            if ((node->allowedAccess & kKeyCreateSubKey) == 0) {
                return nullptr;
            }
            child = node->AddChild(part);
            *created = true;
        }
        node = child;
    }
    return node;
}

MemoryRegistry::Node* MemoryRegistry::Resolve(RegKey key, std::uint32_t* access) const
{
    if (key == kHkeyLocalMachine) {
        *access = MemoryRegistry::kAllowEverything;
        return root_.get();
    }
    const auto it = handles_.find(key);
    if (it == handles_.end()) {
        return nullptr;
    }
    *access = it->second.access;
    return it->second.node;
}

bool MemoryRegistry::TakeFault(RegOperation operation, RegStatus* status)
{
    const std::size_t count = ++callCounts_[operation];
    if (faultArmed_ && faultOperation_ == operation && faultOccurrence_ == count) {
        *status = faultStatus_;
        return true;
    }
    return false;
}

RegStatus MemoryRegistry::Log(RegOperation operation, RegKey key, const char* name,
                              std::uint32_t access, RegStatus status)
{
    calls_.push_back(RegCall{operation, key, name != nullptr ? name : "", access, status});
    return status;
}

RegKey MemoryRegistry::NewHandle(Node* node, std::uint32_t access)
{
    const RegKey handle = nextHandle_++;
    handles_[handle] = Handle{node, access};
    return handle;
}

RegStatus MemoryRegistry::RegOpenKeyExA(RegKey key, const char* subKey, std::uint32_t options,
                                        std::uint32_t samDesired, RegKey* result)
{
    const auto finish = [&](RegStatus status) {
        return Log(RegOperation::OpenKey, key, subKey, samDesired, status);
    };
    if (result != nullptr) {
        *result = 0;
    }
    RegStatus fault = kErrorSuccess;
    if (TakeFault(RegOperation::OpenKey, &fault)) {
        return finish(fault);
    }
    if (result == nullptr || options != 0) {
        return finish(kErrorInvalidParameter);
    }
    std::uint32_t parentAccess = 0;
    Node* parent = Resolve(key, &parentAccess);
    if (parent == nullptr) {
        return finish(kErrorInvalidHandle);
    }
    Node* node = FindFrom(parent, subKey != nullptr ? subKey : "");
    if (node == nullptr) {
        return finish(kErrorFileNotFound);
    }
    if ((samDesired & ~node->allowedAccess) != 0) {
        return finish(kErrorAccessDenied);
    }
    *result = NewHandle(node, samDesired);
    return finish(kErrorSuccess);
}

RegStatus MemoryRegistry::RegCreateKeyExA(RegKey key, const char* subKey, std::uint32_t reserved,
                                          char* /*keyClass*/, std::uint32_t options,
                                          std::uint32_t samDesired,
                                          const void* /*securityAttributes*/, RegKey* result,
                                          std::uint32_t* disposition)
{
    const auto finish = [&](RegStatus status) {
        return Log(RegOperation::CreateKey, key, subKey, samDesired, status);
    };
    if (result != nullptr) {
        *result = 0;
    }
    RegStatus fault = kErrorSuccess;
    if (TakeFault(RegOperation::CreateKey, &fault)) {
        return finish(fault);
    }
    if (result == nullptr || reserved != 0 || options != kRegOptionNonVolatile) {
        return finish(kErrorInvalidParameter);
    }
    std::uint32_t parentAccess = 0;
    Node* parent = Resolve(key, &parentAccess);
    if (parent == nullptr) {
        return finish(kErrorInvalidHandle);
    }
    Node* existing = FindFrom(parent, subKey != nullptr ? subKey : "");
    if (existing != nullptr && (samDesired & ~existing->allowedAccess) != 0) {
        return finish(kErrorAccessDenied);
    }
    bool created = false;
    Node* node = CreateFrom(parent, subKey != nullptr ? subKey : "", &created);
    if (node == nullptr) {
        return finish(kErrorAccessDenied);
    }
    if (disposition != nullptr) {
        *disposition = created ? kRegCreatedNewKey : kRegOpenedExistingKey;
    }
    *result = NewHandle(node, samDesired);
    return finish(kErrorSuccess);
}

RegStatus MemoryRegistry::RegQueryValueExA(RegKey key, const char* valueName,
                                           std::uint32_t* reserved, std::uint32_t* type,
                                           unsigned char* data, std::uint32_t* dataSize)
{
    const auto finish = [&](RegStatus status) {
        return Log(RegOperation::QueryValue, key, valueName, 0, status);
    };
    RegStatus fault = kErrorSuccess;
    if (TakeFault(RegOperation::QueryValue, &fault)) {
        return finish(fault);
    }
    if (reserved != nullptr || (data != nullptr && dataSize == nullptr)) {
        return finish(kErrorInvalidParameter);
    }
    std::uint32_t access = 0;
    Node* node = Resolve(key, &access);
    if (node == nullptr) {
        return finish(kErrorInvalidHandle);
    }
    if ((access & kKeyQueryValue) == 0) {
        return finish(kErrorAccessDenied);
    }
    const RegValue* value = node->Value(valueName != nullptr ? valueName : "");
    if (value == nullptr) {
        return finish(kErrorFileNotFound);
    }
    if (type != nullptr) {
        *type = value->type;
    }
    const auto size = static_cast<std::uint32_t>(value->data.size());
    if (data != nullptr && size > *dataSize) {
        *dataSize = size;
        return finish(kErrorMoreData);
    }
    if (data != nullptr && size > 0) {
        std::memcpy(data, value->data.data(), size);
    }
    if (dataSize != nullptr) {
        *dataSize = size;
    }
    return finish(kErrorSuccess);
}

RegStatus MemoryRegistry::RegSetValueExA(RegKey key, const char* valueName, std::uint32_t reserved,
                                         std::uint32_t type, const unsigned char* data,
                                         std::uint32_t dataSize)
{
    const auto finish = [&](RegStatus status) {
        return Log(RegOperation::SetValue, key, valueName, 0, status);
    };
    RegStatus fault = kErrorSuccess;
    if (TakeFault(RegOperation::SetValue, &fault)) {
        return finish(fault);
    }
    if (reserved != 0 || (data == nullptr && dataSize != 0)) {
        return finish(kErrorInvalidParameter);
    }
    std::uint32_t access = 0;
    Node* node = Resolve(key, &access);
    if (node == nullptr) {
        return finish(kErrorInvalidHandle);
    }
    if ((access & kKeySetValue) == 0) {
        return finish(kErrorAccessDenied);
    }
    node->Put(valueName != nullptr ? valueName : "",
              RegValue{type, std::vector<unsigned char>(data, data + dataSize)});
    return finish(kErrorSuccess);
}

RegStatus MemoryRegistry::RegCloseKey(RegKey key)
{
    const auto finish = [&](RegStatus status) {
        return Log(RegOperation::CloseKey, key, nullptr, 0, status);
    };
    RegStatus fault = kErrorSuccess;
    if (TakeFault(RegOperation::CloseKey, &fault)) {
        return finish(fault);
    }
    if (handles_.erase(key) == 0) {
        return finish(kErrorInvalidHandle);
    }
    return finish(kErrorSuccess);
}

RegStatus MemoryRegistry::RegDeleteKeyA(RegKey key, const char* subKey)
{
    const auto finish = [&](RegStatus status) {
        return Log(RegOperation::DeleteKey, key, subKey, 0, status);
    };
    RegStatus fault = kErrorSuccess;
    if (TakeFault(RegOperation::DeleteKey, &fault)) {
        return finish(fault);
    }
    std::uint32_t parentAccess = 0;
    Node* start = Resolve(key, &parentAccess);
    if (start == nullptr) {
        return finish(kErrorInvalidHandle);
    }
    const std::vector<std::string> parts = SplitPath(subKey != nullptr ? subKey : "");
    if (parts.empty()) {
        return finish(kErrorAccessDenied); // a key cannot delete itself this way
    }
    Node* parent = start;
    for (std::size_t i = 0; i + 1 < parts.size() && parent != nullptr; ++i) {
        parent = parent->Child(parts[i]);
    }
    Node* doomed = parent != nullptr ? parent->Child(parts.back()) : nullptr;
    if (doomed == nullptr) {
        return finish(kErrorFileNotFound);
    }
    // As advapi32: a key with subkeys cannot be deleted.
    if (!doomed->children.empty() || (doomed->allowedAccess & kDelete) == 0) {
        return finish(kErrorAccessDenied);
    }
    Remove(parent, doomed);
    return finish(kErrorSuccess);
}

RegStatus MemoryRegistry::RegQueryInfoKeyA(RegKey key, char* /*keyClass*/,
                                           std::uint32_t* classLength, std::uint32_t* reserved,
                                           std::uint32_t* subKeys, std::uint32_t* maxSubKeyLength,
                                           std::uint32_t* maxClassLength, std::uint32_t* values,
                                           std::uint32_t* maxValueNameLength,
                                           std::uint32_t* maxValueLength,
                                           std::uint32_t* securityDescriptorLength,
                                           void* /*lastWriteTime*/)
{
    const auto finish = [&](RegStatus status) {
        return Log(RegOperation::QueryInfoKey, key, nullptr, 0, status);
    };
    RegStatus fault = kErrorSuccess;
    if (TakeFault(RegOperation::QueryInfoKey, &fault)) {
        return finish(fault);
    }
    if (reserved != nullptr) {
        return finish(kErrorInvalidParameter);
    }
    std::uint32_t access = 0;
    const Node* node = Resolve(key, &access);
    if (node == nullptr) {
        return finish(kErrorInvalidHandle);
    }
    if ((access & kKeyQueryValue) == 0) {
        return finish(kErrorAccessDenied);
    }
    // Only the counts are modelled; the lengths read as 0.
    for (std::uint32_t* length : {classLength, maxSubKeyLength, maxClassLength, maxValueNameLength,
                                  maxValueLength, securityDescriptorLength}) {
        if (length != nullptr) {
            *length = 0;
        }
    }
    if (subKeys != nullptr) {
        *subKeys = static_cast<std::uint32_t>(node->children.size());
    }
    if (values != nullptr) {
        *values = static_cast<std::uint32_t>(node->values.size());
    }
    return finish(kErrorSuccess);
}

MemoryRegistry::Node* MemoryRegistry::Ensure(const std::string& path)
{
    Node* node = root_.get();
    for (const std::string& part : SplitPath(path)) {
        Node* child = node->Child(part);
        node = child != nullptr ? child : node->AddChild(part);
    }
    return node;
}

void MemoryRegistry::CreateKey(const std::string& path)
{
    Ensure(path);
}

bool MemoryRegistry::KeyExists(const std::string& path) const
{
    return Find(path) != nullptr;
}

void MemoryRegistry::DeleteKey(const std::string& path)
{
    const std::vector<std::string> parts = SplitPath(path);
    if (parts.empty()) {
        return;
    }
    std::string parentPath;
    for (std::size_t i = 0; i + 1 < parts.size(); ++i) {
        parentPath += parts[i] + kPathSeparator;
    }
    Node* parent = Find(parentPath);
    Node* doomed = parent != nullptr ? parent->Child(parts.back()) : nullptr;
    if (doomed != nullptr) {
        Remove(parent, doomed);
    }
}

void MemoryRegistry::Remove(Node* parent, Node* doomed)
{
    // Handles into the deleted subtree become invalid rather than dangling.
    for (auto it = handles_.begin(); it != handles_.end();) {
        it = doomed->Contains(it->second.node) ? handles_.erase(it) : std::next(it);
    }
    auto& siblings = parent->children;
    siblings.erase(std::remove_if(siblings.begin(), siblings.end(),
                                  [doomed](const auto& child) { return child.get() == doomed; }),
                   siblings.end());
}

void MemoryRegistry::SetValue(const std::string& path, const std::string& name,
                              std::uint32_t type, std::vector<unsigned char> data)
{
    Ensure(path)->Put(name, RegValue{type, std::move(data)});
}

std::vector<unsigned char> DwordBytes(std::uint32_t value)
{
    return {static_cast<unsigned char>(value), static_cast<unsigned char>(value >> 8),
            static_cast<unsigned char>(value >> 16), static_cast<unsigned char>(value >> 24)};
}

void MemoryRegistry::SetDword(const std::string& path, const std::string& name,
                              std::uint32_t value)
{
    SetValue(path, name, kRegDword, DwordBytes(value));
}

const RegValue* MemoryRegistry::FindValue(const std::string& path, const std::string& name) const
{
    Node* node = Find(path);
    return node != nullptr ? node->Value(name) : nullptr;
}

std::vector<std::string> MemoryRegistry::ValueNames(const std::string& path) const
{
    std::vector<std::string> names;
    if (const Node* node = Find(path)) {
        for (const auto& value : node->values) {
            names.push_back(value.first);
        }
    }
    return names;
}

std::vector<std::string> MemoryRegistry::SubKeyNames(const std::string& path) const
{
    std::vector<std::string> names;
    if (const Node* node = Find(path)) {
        for (const auto& child : node->children) {
            names.push_back(child->name);
        }
    }
    return names;
}

std::vector<std::string> MemoryRegistry::Dump() const
{
    std::vector<std::string> lines;
    const auto walk = [&lines](const Node& node, const std::string& path, const auto& self) -> void {
        lines.push_back(path);
        for (const auto& value : node.values) {
            std::string line = path + kPathSeparator + value.first + " = " +
                               std::to_string(value.second.type) + ":";
            static const char kHex[] = "0123456789abcdef";
            for (unsigned char byte : value.second.data) {
                line += kHex[byte >> 4];
                line += kHex[byte & 0xF];
            }
            lines.push_back(line);
        }
        for (const auto& child : node.children) {
            self(*child, path + kPathSeparator + child->name, self);
        }
    };
    walk(*root_, root_->name, walk);
    return lines;
}

void MemoryRegistry::RestrictAccess(const std::string& path, std::uint32_t allowed)
{
    Ensure(path)->allowedAccess = allowed;
}

void MemoryRegistry::InjectFault(RegOperation operation, std::size_t occurrence, RegStatus status)
{
    faultArmed_ = true;
    faultOperation_ = operation;
    faultOccurrence_ = occurrence;
    faultStatus_ = status;
    callCounts_.clear();
}

void MemoryRegistry::ClearFault()
{
    faultArmed_ = false;
}

std::size_t MemoryRegistry::CountCalls(RegOperation operation) const
{
    return static_cast<std::size_t>(
        std::count_if(calls_.begin(), calls_.end(),
                      [operation](const RegCall& call) { return call.operation == operation; }));
}
