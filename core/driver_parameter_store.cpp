// The load and save walks over the driver service list.
#include "driver_parameter_store.h"

#include "sync_settings.h"


namespace {

constexpr std::uint32_t kDwordSize = 4;

std::uint32_t ReadLittleEndian(const unsigned char (&bytes)[kDwordSize])
{
    return static_cast<std::uint32_t>(bytes[0]) | static_cast<std::uint32_t>(bytes[1]) << 8 |
           static_cast<std::uint32_t>(bytes[2]) << 16 | static_cast<std::uint32_t>(bytes[3]) << 24;
}

void WriteLittleEndian(std::uint32_t value, unsigned char (&bytes)[kDwordSize])
{
    for (std::uint32_t i = 0; i < kDwordSize; ++i) {
        bytes[i] = static_cast<unsigned char>(value >> (8 * i));
    }
}

} // namespace

std::size_t SaveResult::FailedCount() const
{
    std::size_t failed = 0;
    for (bool written : written_) {
        failed += written ? 0 : 1;
    }
    return failed;
}

std::uint32_t DriverParameterStore::QueryDword(RegKey key, const char* valueName,
                                               std::uint32_t fallback) const
{
    // Shorter data lands over the preset default's leading bytes, as it lies;
    // longer data fails the query and leaves the default.
    unsigned char buffer[kDwordSize];
    WriteLittleEndian(fallback, buffer);
    std::uint32_t type = 0;
    std::uint32_t size = kDwordSize;
    if (registry_.RegQueryValueExA(key, valueName, nullptr, &type, buffer, &size) !=
        kErrorSuccess) {
        return fallback;
    }
    return ReadLittleEndian(buffer);
}

bool DriverParameterStore::SetDword(RegKey key, const char* valueName, std::uint32_t value) const
{
    unsigned char buffer[kDwordSize];
    WriteLittleEndian(value, buffer);
    return registry_.RegSetValueExA(key, valueName, 0, kRegDword, buffer, kDwordSize) ==
           kErrorSuccess;
}

LoadResult DriverParameterStore::Load() const
{
    for (const DriverService& service : DriverServiceList) {
        RegKey key = 0;
        if (registry_.RegOpenKeyExA(kHkeyLocalMachine, service.parametersKey, 0, kKeyRead,
                                    &key) != kErrorSuccess) {
            continue;
        }
        LoadResult result{};
        result.found = true;
        result.mode = QueryDword(key, kExternalSynchModeValueName, kDefaultSynchMode);
        result.framesNumber = static_cast<std::int32_t>(QueryDword(
            key, kSynchFramesNumberValueName, static_cast<std::uint32_t>(kDefaultFramesNumber)));
        registry_.RegCloseKey(key);
        return result;
    }
    return LoadResult{false, kDefaultSynchMode, kDefaultFramesNumber};
}

SaveResult DriverParameterStore::Save(std::uint32_t mode, std::int32_t framesNumber) const
{
    SaveResult result;
    for (std::size_t row = 0; row < DriverServiceList.size(); ++row) {
        RegKey key = 0;
        if (registry_.RegCreateKeyExA(kHkeyLocalMachine, DriverServiceList[row].parametersKey, 0,
                                      nullptr, kRegOptionNonVolatile, kKeyAllAccess, nullptr,
                                      &key, nullptr) != kErrorSuccess) {
            continue;
        }
        // The second value is set even when the first failed: every row gets
        // the same calls whatever the registry answers.
        const bool modeSet = SetDword(key, kExternalSynchModeValueName, mode);
        const bool framesSet =
            SetDword(key, kSynchFramesNumberValueName, static_cast<std::uint32_t>(framesNumber));
        registry_.RegCloseKey(key);
        if (modeSet && framesSet) {
            result.MarkWritten(row);
        }
    }
    return result;
}
