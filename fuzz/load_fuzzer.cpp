// DriverParameterStore::Load, then Save, over a registry built from the
// input: each row absent or present, readable or not, writable or not, with
// values of any type and size, or none, and its service key with or without
// values of its own. The load must read the first readable row, take data of
// up to four bytes over the defaults, and leave no key open. The save must
// write every row when all are writable, and otherwise change nothing at all.
#include "driver_parameter_store.h"
#include "memory_registry.h"
#include "sync_settings.h"

#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string>
#include <vector>

namespace {

constexpr std::size_t kMaxValueSize = 8;

class Input {
public:
    Input(const std::uint8_t* data, std::size_t size) : m_data(data), m_size(size), m_pos(0) {}
    std::uint8_t Byte() { return m_pos < m_size ? m_data[m_pos++] : 0; }

private:
    const std::uint8_t* m_data;
    std::size_t m_size;
    std::size_t m_pos;
};

struct Expected {
    bool present;
    std::vector<unsigned char> data;
};

// Writes a value as the input says; what a load should make of it.
Expected AddValue(MemoryRegistry& registry, const char* key, const char* name, Input& in)
{
    const std::uint8_t shape = in.Byte();
    if ((shape & 1) == 0) {
        return {false, {}};
    }
    const std::uint32_t type = static_cast<std::uint32_t>(shape >> 4);
    std::vector<unsigned char> data((shape >> 1) % (kMaxValueSize + 1));
    for (unsigned char& byte : data) {
        byte = in.Byte();
    }
    registry.SetValue(key, name, type, data);
    return {true, data};
}

std::uint32_t Over(std::uint32_t fallback, const Expected& value)
{
    if (!value.present || value.data.size() > 4) {
        return fallback;
    }
    unsigned char bytes[4] = {static_cast<unsigned char>(fallback), static_cast<unsigned char>(fallback >> 8),
                              static_cast<unsigned char>(fallback >> 16), static_cast<unsigned char>(fallback >> 24)};
    for (std::size_t i = 0; i < value.data.size(); ++i) {
        bytes[i] = value.data[i];
    }
    return static_cast<std::uint32_t>(bytes[0]) | static_cast<std::uint32_t>(bytes[1]) << 8 |
           static_cast<std::uint32_t>(bytes[2]) << 16 | static_cast<std::uint32_t>(bytes[3]) << 24;
}

void Check(bool condition)
{
    if (!condition) {
        std::abort();
    }
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    Input in(data, size);
    MemoryRegistry registry;
    bool expectFound = false;
    bool expectRefused = false;
    std::uint32_t expectMode = 0;
    std::uint32_t expectFrames = 0;
    for (const DriverService& service : DriverServiceList) {
        const std::uint8_t row = in.Byte();
        if ((row & 8) != 0) {
            registry.SetDword(service.serviceKey, "Start", 3);
        }
        if ((row & 1) == 0) {
            continue;
        }
        registry.CreateKey(service.parametersKey);
        const Expected mode = AddValue(registry, service.parametersKey, kExternalSynchModeValueName, in);
        const Expected frames = AddValue(registry, service.parametersKey, kSynchFramesNumberValueName, in);
        const bool readable = (row & 2) == 0;
        if (!readable) {
            registry.RestrictAccess(service.parametersKey, 0);
            expectRefused = true;
        } else if ((row & 4) != 0) {
            registry.RestrictAccess(service.parametersKey, kKeyRead);
            expectRefused = true;
        }
        if (readable && !expectFound) {
            expectFound = true;
            expectMode = Over(kDefaultSynchMode, mode);
            expectFrames = Over(static_cast<std::uint32_t>(kDefaultFramesNumber), frames);
        }
    }

    const LoadResult loaded = DriverParameterStore(registry).Load();
    Check(loaded.found == expectFound);
    if (expectFound) {
        Check(loaded.mode == expectMode);
        Check(static_cast<std::uint32_t>(loaded.framesNumber) == expectFrames);
    }
    Check(registry.OpenKeyCount() == 0);

    const std::vector<std::string> before = registry.Dump();
    const std::uint32_t newMode = in.Byte();
    const SaveResult saved = DriverParameterStore(registry).Save(newMode, -5);
    Check(registry.OpenKeyCount() == 0);
    Check(SaveRefused(saved) == expectRefused);
    if (expectRefused) {
        Check(registry.Dump() == before);
    } else {
        Check(AllWritten(saved));
        for (const DriverService& service : DriverServiceList) {
            const RegValue* mode = registry.FindValue(service.parametersKey, kExternalSynchModeValueName);
            Check(mode != nullptr && mode->type == kRegDword && mode->data.size() == 4 &&
                  mode->data[0] == newMode);
        }
    }
    return 0;
}
