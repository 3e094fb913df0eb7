// The system's messages as the console's reader decodes them.
#include "win32_console_text.h"

#include <gtest/gtest.h>

namespace {

constexpr unsigned kWesternAnsi = 1252;
constexpr unsigned kWesternOem = 850;
constexpr unsigned kUsOem = 437;
constexpr unsigned kUtf8 = 65001;

TEST(ConsoleText, AnAnsiMessageArrivesInTheConsolesCodePage)
{
    const struct {
        const char* ansi;
        unsigned to;
        const char* expected;
    } cases[] = {
        // German: "the file or directory is damaged": a-umlaut is E4 in 1252, 84 in 850.
        {"besch\xE4" "digt und nicht lesbar.", kWesternOem, "besch\x84" "digt und nicht lesbar."},
        {"acc\xE8s refus\xE9.", kUsOem, "acc\x8As refus\x82."},
        {"besch\xE4" "digt", kUtf8, "besch\xC3\xA4" "digt"},
        {"Access is denied.", kWesternOem, "Access is denied."},
        {"besch\xE4" "digt", kWesternAnsi, "besch\xE4" "digt"},
        {"", kWesternOem, ""},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(InCodePage(c.ansi, kWesternAnsi, c.to), c.expected) << c.ansi << " to " << c.to;
    }
}

} // namespace
