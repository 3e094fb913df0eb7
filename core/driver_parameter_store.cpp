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

bool AllWritten(const SaveResult& result)
{
    for (const ServiceSaveStatus& service : result) {
        if (service.state != ServiceSaveState::Written) {
            return false;
        }
    }
    return true;
}

bool SaveRefused(const SaveResult& result)
{
    for (const ServiceSaveStatus& service : result) {
        if (service.state == ServiceSaveState::Refused) {
            return true;
        }
    }
    return false;
}

bool IsStoredDword(const StoredShape& shape)
{
    return shape.present && shape.type == kRegDword && shape.size == kDwordSize;
}

bool HoldsSettings(const ServiceReading& reading, std::uint32_t mode, std::int32_t framesNumber)
{
    // A four-byte REG_DWORD is always read whole, so its number is the one stored.
    return IsStoredDword(reading.modeShape) && IsStoredDword(reading.framesShape) &&
           reading.mode == mode && reading.framesNumber == framesNumber;
}

bool DriverParameterStore::QueryDword(RegKey key, const char* valueName, std::uint32_t fallback,
                                      std::uint32_t* value, StoredShape* shape) const
{
    // Shorter data lands over the preset default's leading bytes, as it lies;
    // longer data fails the query and leaves the default.
    unsigned char buffer[kDwordSize];
    WriteLittleEndian(fallback, buffer);
    std::uint32_t type = 0;
    std::uint32_t size = kDwordSize;
    const RegStatus status = registry_.RegQueryValueExA(key, valueName, nullptr, &type, buffer, &size);
    if (shape != nullptr) {
        // Longer data is still there, with its type and size told.
        const bool present = status == kErrorSuccess || status == kErrorMoreData;
        *shape = present ? StoredShape{true, type, size, false}
                         : StoredShape{false, 0, 0, status != kErrorFileNotFound};
    }
    if (status != kErrorSuccess) {
        *value = fallback;
        return false;
    }
    *value = ReadLittleEndian(buffer);
    return true;
}

RegStatus DriverParameterStore::SetDword(RegKey key, const char* valueName,
                                        std::uint32_t value) const
{
    unsigned char buffer[kDwordSize];
    WriteLittleEndian(value, buffer);
    return registry_.RegSetValueExA(key, valueName, 0, kRegDword, buffer, kDwordSize);
}

LoadResult DriverParameterStore::Load() const
{
    for (std::size_t row = 0; row < kDriverServiceCount; ++row) {
        const ServiceReading reading = ReadService(row);
        if (reading.found) {
            return LoadResult{true, reading.mode, reading.framesNumber};
        }
    }
    return LoadResult{false, kDefaultSynchMode, kDefaultFramesNumber};
}

ServiceReading DriverParameterStore::ReadService(std::size_t row) const
{
    const StoredShape absent{false, 0, 0};
    ServiceReading reading{false, false, false, kDefaultSynchMode, false, kDefaultFramesNumber,
                           absent, absent};
    RegKey key = 0;
    const RegStatus opened = registry_.RegOpenKeyExA(
        kHkeyLocalMachine, DriverServiceList[row].parametersKey, 0, kKeyRead, &key);
    if (opened != kErrorSuccess) {
        reading.keyMissing = opened == kErrorFileNotFound;
        return reading;
    }
    reading.found = true;
    reading.modeRead = QueryDword(key, kExternalSynchModeValueName, kDefaultSynchMode,
                                  &reading.mode, &reading.modeShape);
    std::uint32_t frames = 0;
    reading.framesRead =
        QueryDword(key, kSynchFramesNumberValueName,
                   static_cast<std::uint32_t>(kDefaultFramesNumber), &frames, &reading.framesShape);
    reading.framesNumber = static_cast<std::int32_t>(frames);
    registry_.RegCloseKey(key);
    return reading;
}

SaveResult DriverParameterStore::Save(std::uint32_t mode, std::int32_t framesNumber) const
{
    SaveResult result{};
    std::array<RegKey, kDriverServiceCount> keys{};
    std::array<bool, kDriverServiceCount> made{};
    bool refused = false;
    // First every key, so that one refusal can still leave all eight as they
    // were. Setting values is all a save does with them: asking for more
    // would refuse a user granted exactly that. Whether a missing key may be
    // made is the create's own check of its parent.
    for (std::size_t row = 0; row < kDriverServiceCount; ++row) {
        std::uint32_t disposition = 0;
        const RegStatus opened = registry_.RegCreateKeyExA(
            kHkeyLocalMachine, DriverServiceList[row].parametersKey, 0, nullptr,
            kRegOptionNonVolatile, kKeySetValue, nullptr, &keys[row], &disposition);
        if (opened != kErrorSuccess) {
            result[row] = {ServiceSaveState::Refused, opened};
            refused = true;
            continue;
        }
        made[row] = disposition == kRegCreatedNewKey;
        result[row] = {ServiceSaveState::Unchanged, kErrorSuccess};
    }
    // What each held, read apart from the keys opened for setting: the save
    // asks for no right beyond that, and a value it cannot read is only
    // missing from the record.
    for (std::size_t row = 0; row < kDriverServiceCount; ++row) {
        result[row].before = ReadService(row);
    }
    for (std::size_t row = 0; row < kDriverServiceCount; ++row) {
        if (result[row].state == ServiceSaveState::Refused) {
            continue;
        }
        if (!refused) {
            const ServiceSaveStatus written = WriteValues(keys[row], mode, framesNumber);
            result[row].state = written.state;
            result[row].status = written.status;
        }
        registry_.RegCloseKey(keys[row]);
        // A key made for a service that got nothing would show on the next
        // load as a service holding the defaults.
        if (made[row] && result[row].state == ServiceSaveState::Unchanged) {
            const ServiceSaveStatus removed = RemoveMadeKey(DriverServiceList[row]);
            if (removed.state != ServiceSaveState::Unchanged) {
                result[row].state = removed.state;
                result[row].status = removed.status;
            }
        }
    }
    return result;
}

ServiceSaveStatus DriverParameterStore::WriteValues(RegKey key, std::uint32_t mode,
                                                    std::int32_t framesNumber) const
{
    // When the mode cannot be written the frames number is not tried either,
    // so the service keeps its old settings whole.
    const RegStatus modeSet = SetDword(key, kExternalSynchModeValueName, mode);
    if (modeSet != kErrorSuccess) {
        return {ServiceSaveState::Unchanged, modeSet};
    }
    const RegStatus framesSet =
        SetDword(key, kSynchFramesNumberValueName, static_cast<std::uint32_t>(framesNumber));
    if (framesSet != kErrorSuccess) {
        return {ServiceSaveState::ModeOnly, framesSet};
    }
    return {ServiceSaveState::Written, kErrorSuccess};
}

ServiceSaveStatus DriverParameterStore::RemoveMadeKey(const DriverService& service) const
{
    const RegStatus removed = registry_.RegDeleteKeyA(kHkeyLocalMachine, service.parametersKey);
    if (removed != kErrorSuccess) {
        return {ServiceSaveState::EmptyKeyLeft, removed};
    }
    const auto serviceKeyLeft = [](RegStatus status) {
        return ServiceSaveStatus{ServiceSaveState::EmptyServiceKeyLeft, status};
    };
    // Creating the Parameters key also made its service key when that was
    // missing. A service key left with no values and no subkeys holds
    // nothing (an installed driver's service key always has values), so it
    // goes too; any other is left alone.
    RegKey key = 0;
    const RegStatus opened =
        registry_.RegOpenKeyExA(kHkeyLocalMachine, service.serviceKey, 0, kKeyRead, &key);
    if (opened != kErrorSuccess) {
        return serviceKeyLeft(opened);
    }
    std::uint32_t subKeys = 0;
    std::uint32_t values = 0;
    const RegStatus counted =
        registry_.RegQueryInfoKeyA(key, nullptr, nullptr, nullptr, &subKeys, nullptr, nullptr,
                                   &values, nullptr, nullptr, nullptr, nullptr);
    registry_.RegCloseKey(key);
    if (counted != kErrorSuccess) {
        return serviceKeyLeft(counted);
    }
    if (subKeys != 0 || values != 0) {
        return {ServiceSaveState::Unchanged, kErrorSuccess};
    }
    const RegStatus deleted = registry_.RegDeleteKeyA(kHkeyLocalMachine, service.serviceKey);
    return deleted == kErrorSuccess ? ServiceSaveStatus{ServiceSaveState::Unchanged, kErrorSuccess}
                                    : serviceKeyLeft(deleted);
}
