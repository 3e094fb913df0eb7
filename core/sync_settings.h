// The three synchronization settings and their stored encoding: the input
// numbering, the two registry values with their defaults, and the conversions
// between control states, field text and stored values.
#pragma once

#include <cstdint>

// The external synchronization input, numbered by its place in the dialog's
// radio group.
enum SyncInput : std::int32_t {
    FrameInput = 0,
    LineInput = 1,
    ScanStartInput = 2,
};

inline constexpr std::int32_t kSyncInputCount = 3;

// Whether the index names one of the three inputs.
constexpr bool IsSyncInput(std::int32_t input)
{
    return input >= FrameInput && input < kSyncInputCount;
}

// Registry value names under every driver service's Parameters key.
inline constexpr const char* kExternalSynchModeValueName = "External synch mode";
inline constexpr const char* kSynchFramesNumberValueName = "Synch frames number";

// What a value that cannot be read stands for: synchronization off, one frame.
inline constexpr std::uint32_t kDefaultSynchMode = 0;
inline constexpr std::int32_t kDefaultFramesNumber = 1;

struct DecodedSynchMode {
    bool enabled;
    std::int32_t input;
};

// 0 when disabled, otherwise the selected input's bit. Only the low five bits
// of the input count, as for a 32-bit shift on the scanner's side.
std::uint32_t EncodeSynchMode(bool enabled, std::int32_t input);

// Enabled whenever the mask is not 0. A mask of exactly one known input bit
// selects that input; any other mask leaves currentInput as it is.
DecodedSynchMode DecodeSynchMode(std::uint32_t mode, std::int32_t currentInput);

// The word for a stored mode, as quorin-sync writes and reads it: "off",
// "frame", "line", "scanstart", or "unknown" for a mask that names no single
// input.
const char* SynchModeWord(std::uint32_t mode);

// The stored mode a word names; false for "unknown" or any other word.
bool ParseSynchModeWord(const char* word, std::uint32_t* mode);

// The field's text as a frames number, read as "%d" reads it: leading white
// space, an optional sign, decimal digits, anything after them ignored. Text
// that does not start with a number gives 1; a number beyond the 32-bit range
// saturates to INT32_MIN or INT32_MAX.
std::int32_t ParseFramesNumber(const char* text);

// Room for "-2147483648" and its terminator.
inline constexpr int kFramesNumberTextCapacity = 12;

struct FramesNumberText {
    char chars[kFramesNumberTextCapacity];
    const char* c_str() const { return chars; }
};

// The frames number as the field shows it: plain signed decimal.
FramesNumberText FormatFramesNumber(std::int32_t framesNumber);
