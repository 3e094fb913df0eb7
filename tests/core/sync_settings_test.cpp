// The conversions between settings, field text and stored values.
#include "sync_settings.h"

#include <gtest/gtest.h>

#include <climits>
#include <string>

TEST(EncodeSynchMode, DisabledIsZeroWhateverTheInput)
{
    for (std::int32_t input : {0, 1, 2, 7, -1}) {
        EXPECT_EQ(EncodeSynchMode(false, input), 0u) << input;
    }
}

TEST(EncodeSynchMode, EnabledGivesTheInputsBit)
{
    EXPECT_EQ(EncodeSynchMode(true, FrameInput), 1u);
    EXPECT_EQ(EncodeSynchMode(true, LineInput), 2u);
    EXPECT_EQ(EncodeSynchMode(true, ScanStartInput), 4u);
}

TEST(EncodeSynchMode, OnlyTheLowFiveBitsOfTheInputCount)
{
    EXPECT_EQ(EncodeSynchMode(true, 31), 0x80000000u);
    EXPECT_EQ(EncodeSynchMode(true, 33), 2u);
    EXPECT_EQ(EncodeSynchMode(true, -1), 0x80000000u);
}

TEST(DecodeSynchMode, SingleKnownBitsSelectTheirInput)
{
    const DecodedSynchMode frame = DecodeSynchMode(1, ScanStartInput);
    EXPECT_TRUE(frame.enabled);
    EXPECT_EQ(frame.input, FrameInput);
    EXPECT_EQ(DecodeSynchMode(2, FrameInput).input, LineInput);
    const DecodedSynchMode scanStart = DecodeSynchMode(4, FrameInput);
    EXPECT_TRUE(scanStart.enabled);
    EXPECT_EQ(scanStart.input, ScanStartInput);
}

TEST(DecodeSynchMode, ZeroIsDisabledAndKeepsTheInput)
{
    const DecodedSynchMode decoded = DecodeSynchMode(0, ScanStartInput);
    EXPECT_FALSE(decoded.enabled);
    EXPECT_EQ(decoded.input, ScanStartInput);
}

TEST(DecodeSynchMode, UnknownMasksAreEnabledAndKeepTheInput)
{
    for (std::uint32_t mode : {3u, 5u, 6u, 7u, 8u, 0x80000000u, 0xFFFFFFFFu}) {
        const DecodedSynchMode decoded = DecodeSynchMode(mode, LineInput);
        EXPECT_TRUE(decoded.enabled) << mode;
        EXPECT_EQ(decoded.input, LineInput) << mode;
    }
}

TEST(DecodeSynchMode, UnknownMaskThenSaveNormalisesToTheFrameBit)
{
    const DecodedSynchMode decoded = DecodeSynchMode(3, FrameInput);
    EXPECT_EQ(EncodeSynchMode(decoded.enabled, decoded.input), 1u);
}

TEST(ParseFramesNumber, ReadsALeadingDecimalNumber)
{
    EXPECT_EQ(ParseFramesNumber("25"), 25);
    EXPECT_EQ(ParseFramesNumber("  7"), 7);
    EXPECT_EQ(ParseFramesNumber("\t\n\v\f\r 9"), 9);
    EXPECT_EQ(ParseFramesNumber("12abc"), 12);
    EXPECT_EQ(ParseFramesNumber("12 34"), 12);
    EXPECT_EQ(ParseFramesNumber("-3"), -3);
    EXPECT_EQ(ParseFramesNumber("+5"), 5);
    EXPECT_EQ(ParseFramesNumber("0"), 0);
    EXPECT_EQ(ParseFramesNumber("007"), 7);
    EXPECT_EQ(ParseFramesNumber("0x10"), 0);
}

TEST(ParseFramesNumber, TextWithoutANumberGivesOne)
{
    for (const char* text : {"", "abc", " ", "-", "+", "- 3", "x12", "\xEF\xBC\x91"}) {
        EXPECT_EQ(ParseFramesNumber(text), 1) << '"' << text << '"';
    }
    EXPECT_EQ(ParseFramesNumber(nullptr), 1);
}

TEST(ParseFramesNumber, NumbersBeyondThirtyTwoBitsSaturate)
{
    EXPECT_EQ(ParseFramesNumber("2147483647"), INT32_MAX);
    EXPECT_EQ(ParseFramesNumber("-2147483648"), INT32_MIN);
    EXPECT_EQ(ParseFramesNumber("2147483648"), INT32_MAX);
    EXPECT_EQ(ParseFramesNumber("-2147483649"), INT32_MIN);
    EXPECT_EQ(ParseFramesNumber("99999999999"), INT32_MAX);
    EXPECT_EQ(ParseFramesNumber("-99999999999"), INT32_MIN);
    // Past the limit by a digit after the largest magnitude there is.
    EXPECT_EQ(ParseFramesNumber("-21474836471"), INT32_MIN);
    EXPECT_EQ(ParseFramesNumber("21474836471"), INT32_MAX);
    EXPECT_EQ(ParseFramesNumber("99999999999999999999999999"), INT32_MAX);
    EXPECT_EQ(ParseFramesNumber("-99999999999999999999999999"), INT32_MIN);
}

TEST(FormatFramesNumber, PlainSignedDecimal)
{
    EXPECT_STREQ(FormatFramesNumber(1).c_str(), "1");
    EXPECT_STREQ(FormatFramesNumber(0).c_str(), "0");
    EXPECT_STREQ(FormatFramesNumber(-3).c_str(), "-3");
    EXPECT_STREQ(FormatFramesNumber(1234567).c_str(), "1234567");
    EXPECT_STREQ(FormatFramesNumber(INT32_MAX).c_str(), "2147483647");
    EXPECT_STREQ(FormatFramesNumber(INT32_MIN).c_str(), "-2147483648");
}

TEST(FormatFramesNumber, ParsesBackToTheSameNumber)
{
    for (std::int32_t n : {INT32_MIN, -1000, -1, 0, 1, 3, 65536, INT32_MAX}) {
        EXPECT_EQ(ParseFramesNumber(FormatFramesNumber(n).c_str()), n);
    }
}

TEST(SynchModeWord, EachWordNamesOneStoredModeAndBack)
{
    const struct {
        const char* word;
        std::uint32_t mode;
    } words[] = {{"off", 0}, {"frame", 1}, {"line", 2}, {"scanstart", 4}};
    for (const auto& entry : words) {
        std::uint32_t mode = 99;
        EXPECT_TRUE(ParseSynchModeWord(entry.word, &mode)) << entry.word;
        EXPECT_EQ(mode, entry.mode) << entry.word;
        EXPECT_STREQ(SynchModeWord(entry.mode), entry.word);
    }
    for (std::uint32_t mask : {3u, 8u, 0x80000000u}) {
        EXPECT_STREQ(SynchModeWord(mask), "unknown") << mask;
    }
    std::uint32_t untouched = 99;
    for (const char* word : {"unknown", "Off", "", "scanstart "}) {
        EXPECT_FALSE(ParseSynchModeWord(word, &untouched)) << word;
    }
    EXPECT_EQ(untouched, 99u);
}
