// Appending to a status text, cut to what fits.
#include "status_text.h"

#include <cstring>

void AppendStatusText(StatusText& words, const char* text)
{
    std::size_t end = std::strlen(words.text);
    while (*text != '\0' && end + 1 < kStatusTextSize) {
        words.text[end++] = *text++;
    }
    words.text[end] = '\0';
}

void AppendStatusNumber(StatusText& words, long long number)
{
    // Digits from the last, in a buffer wide enough for any 64-bit number.
    char digits[24] = {};
    std::size_t first = sizeof digits - 1;
    const bool negative = number < 0;
    unsigned long long magnitude = negative ? 0ULL - static_cast<unsigned long long>(number)
                                            : static_cast<unsigned long long>(number);
    do {
        digits[--first] = static_cast<char>('0' + magnitude % 10);
        magnitude /= 10;
    } while (magnitude != 0);
    if (negative) {
        digits[--first] = '-';
    }
    AppendStatusText(words, digits + first);
}
