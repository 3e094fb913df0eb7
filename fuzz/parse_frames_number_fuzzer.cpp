// ParseFramesNumber against a plain model of "%d" with saturation: white
// space, an optional sign, decimal digits; no digits gives 1.
#include "sync_settings.h"

#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string>

namespace {

bool IsSpace(char c)
{
    return c == ' ' || c == '\t' || c == '\n' || c == '\v' || c == '\f' || c == '\r';
}

std::int32_t Model(const std::string& text)
{
    std::size_t i = 0;
    while (i < text.size() && IsSpace(text[i])) {
        ++i;
    }
    bool negative = false;
    if (i < text.size() && (text[i] == '+' || text[i] == '-')) {
        negative = text[i] == '-';
        ++i;
    }
    if (i >= text.size() || text[i] < '0' || text[i] > '9') {
        return 1;
    }
    // Magnitudes past 2^31 all saturate, so stop counting there.
    const std::int64_t limit = std::int64_t{1} << 31;
    std::int64_t magnitude = 0;
    for (; i < text.size() && text[i] >= '0' && text[i] <= '9'; ++i) {
        magnitude = magnitude * 10 + (text[i] - '0');
        if (magnitude > limit) {
            magnitude = limit;
        }
    }
    const std::int64_t value = negative ? -magnitude : magnitude;
    if (value > INT32_MAX) {
        return INT32_MAX;
    }
    return static_cast<std::int32_t>(value);
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    // The field's text ends at its first zero, as a C string does.
    std::string text(reinterpret_cast<const char*>(data), size);
    text = text.substr(0, text.find('\0'));
    if (ParseFramesNumber(text.c_str()) != Model(text)) {
        std::abort();
    }
    return 0;
}
