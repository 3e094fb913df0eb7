// EncodeSynchMode and DecodeSynchMode round trips over any mode and input.
#include "sync_settings.h"

#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <cstring>

namespace {

void Check(bool condition)
{
    if (!condition) {
        std::abort();
    }
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    std::uint32_t mode = 0;
    std::int32_t input = 0;
    if (size < sizeof mode + sizeof input + 1) {
        return 0;
    }
    std::memcpy(&mode, data, sizeof mode);
    std::memcpy(&input, data + sizeof mode, sizeof input);
    const bool enabled = (data[sizeof mode + sizeof input] & 1) != 0;

    // A stored mask shows as enabled exactly when it is not 0, and a save of
    // what is shown writes 0, the mask itself when it is a known input's
    // bit, or the bit of the input that was already shown.
    const DecodedSynchMode shown = DecodeSynchMode(mode, input);
    Check(shown.enabled == (mode != 0));
    const std::uint32_t saved = EncodeSynchMode(shown.enabled, shown.input);
    if (mode == 0) {
        Check(saved == 0 && shown.input == input);
    } else if (mode == 1 || mode == 2 || mode == 4) {
        Check(saved == mode);
    } else {
        Check(shown.input == input && saved == EncodeSynchMode(true, input));
    }

    // Any input the dialog can choose survives an encode and a decode.
    const std::int32_t choice = static_cast<std::int32_t>(static_cast<std::uint32_t>(input) % 3);
    const std::uint32_t encoded = EncodeSynchMode(enabled, choice);
    const DecodedSynchMode decoded = DecodeSynchMode(encoded, FrameInput);
    Check(decoded.enabled == enabled);
    Check(!enabled || decoded.input == choice);
    // Exactly one bit or none, whatever the input.
    const std::uint32_t any = EncodeSynchMode(enabled, input);
    Check(enabled ? (any != 0 && (any & (any - 1)) == 0) : any == 0);
    return 0;
}
