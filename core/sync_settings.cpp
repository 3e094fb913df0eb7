// Conversions between the dialog's settings and the two stored values.
#include "sync_settings.h"

#include <cstdlib>
#include <cstring>

namespace {

constexpr std::uint32_t kShiftCountMask = 31;
constexpr int kDecimalBase = 10;

} // namespace

std::uint32_t EncodeSynchMode(bool enabled, std::int32_t input)
{
    if (!enabled) {
        return 0;
    }
    return std::uint32_t{1} << (static_cast<std::uint32_t>(input) & kShiftCountMask);
}

DecodedSynchMode DecodeSynchMode(std::uint32_t mode, std::int32_t currentInput)
{
    DecodedSynchMode decoded{mode != 0, currentInput};
    constexpr std::int32_t kInputs[] = {FrameInput, LineInput, ScanStartInput};
    for (std::int32_t input : kInputs) {
        if (mode == EncodeSynchMode(true, input)) {
            decoded.input = input;
        }
    }
    return decoded;
}

std::int32_t ParseFramesNumber(const char* text)
{
    if (text == nullptr) {
        return kDefaultFramesNumber;
    }
    // What "%d" accepts: white space, an optional sign, decimal digits. The
    // digits are read by hand rather than by sscanf, which leaves an
    // overflow undefined: the magnitude stops growing once past the 32-bit
    // range, and the result saturates to INT32_MIN or INT32_MAX.
    const char* p = text;
    while (*p == ' ' || (*p >= '\t' && *p <= '\r')) {
        ++p;
    }
    const bool negative = *p == '-';
    if (*p == '-' || *p == '+') {
        ++p;
    }
    if (*p < '0' || *p > '9') {
        return kDefaultFramesNumber;
    }
    constexpr std::int64_t kLimit = std::int64_t{INT32_MAX} + 1;
    std::int64_t magnitude = 0;
    for (; *p >= '0' && *p <= '9'; ++p) {
        if (magnitude <= kLimit) {
            magnitude = magnitude * kDecimalBase + (*p - '0');
        }
    }
    const std::int64_t value = negative ? -magnitude : magnitude;
    if (value < INT32_MIN) {
        return INT32_MIN;
    }
    if (value > INT32_MAX) {
        return INT32_MAX;
    }
    return static_cast<std::int32_t>(value);
}

FramesNumberText FormatFramesNumber(std::int32_t framesNumber)
{
    // What "%d" prints, written out by hand: the formatted-output machinery
    // would be most of the executable's size for this one number.
    char digits[kFramesNumberTextCapacity];
    int count = 0;
    // Negative magnitudes: INT32_MIN has no positive counterpart.
    std::int32_t rest = framesNumber < 0 ? framesNumber : -framesNumber;
    do {
        digits[count++] = static_cast<char>('0' - rest % kDecimalBase);
        rest /= kDecimalBase;
    } while (rest != 0);
    FramesNumberText text{};
    int length = 0;
    if (framesNumber < 0) {
        text.chars[length++] = '-';
    }
    while (count > 0) {
        text.chars[length++] = digits[--count];
    }
    return text;
}

namespace {

struct ModeWord {
    const char* word;
    bool enabled;
    SyncInput input;
};

const ModeWord kModeWords[] = {
    {"off", false, FrameInput},
    {"frame", true, FrameInput},
    {"line", true, LineInput},
    {"scanstart", true, ScanStartInput},
};

const char kUnknownModeWord[] = "unknown";

} // namespace

const char* SynchModeWord(std::uint32_t mode)
{
    for (const ModeWord& entry : kModeWords) {
        if (EncodeSynchMode(entry.enabled, entry.input) == mode) {
            return entry.word;
        }
    }
    return kUnknownModeWord;
}

bool ParseSynchModeWord(const char* word, std::uint32_t* mode)
{
    for (const ModeWord& entry : kModeWords) {
        if (std::strcmp(word, entry.word) == 0) {
            *mode = EncodeSynchMode(entry.enabled, entry.input);
            return true;
        }
    }
    return false;
}
