// A status told in words, held in place: the dialog links no string library
// for it (its size is a goal).
#pragma once

#include <cstddef>

inline constexpr std::size_t kStatusTextSize = 512;
struct StatusText {
    char text[kStatusTextSize]; // empty when there is nothing to tell
};

// Appends to a status text what fits of `text`, or of a number in decimal
// (without the C library's formatting, which would bring its own printf).
void AppendStatusText(StatusText& words, const char* text);
void AppendStatusNumber(StatusText& words, long long number);
