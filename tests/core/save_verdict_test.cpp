// The one judgement of a save, over hand-made results that reach each
// outcome, the mixed refusal among them; quorin-sync's exit code for each;
// and how a status is told in words.
#include "save_verdict.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <string>

namespace {

constexpr RegStatus kCorrupt = 1392; // ERROR_FILE_CORRUPT

SaveResult Every(ServiceSaveState state, RegStatus status = kErrorSuccess)
{
    SaveResult result{};
    result.fill({state, status});
    return result;
}

SaveResult With(SaveResult result, std::size_t row, ServiceSaveState state, RegStatus status)
{
    result[row] = {state, status};
    return result;
}

TEST(SaveVerdict, EachOutcomeAndItsExitCode)
{
    const SaveResult untouched = Every(ServiceSaveState::Unchanged);
    const struct {
        const char* what;
        SaveResult saved;
        SaveOutcome outcome;
        CliExitCode exitCode;
    } cases[] = {
        {"all written", Every(ServiceSaveState::Written), SaveOutcome::AllWritten, kExitOk},
        {"one denied", With(untouched, 2, ServiceSaveState::Refused, kErrorAccessDenied),
         SaveOutcome::RefusedForRights, kExitAccessDenied},
        {"every one denied", Every(ServiceSaveState::Refused, kErrorAccessDenied),
         SaveOutcome::RefusedForRights, kExitAccessDenied},
        {"refused otherwise", With(untouched, 2, ServiceSaveState::Refused, kCorrupt),
         SaveOutcome::Refused, kExitFailed},
        // Rights alone would not make it pass.
        {"one denied, another refused otherwise",
         With(With(untouched, 2, ServiceSaveState::Refused, kErrorAccessDenied), 5,
              ServiceSaveState::Refused, kCorrupt),
         SaveOutcome::Refused, kExitFailed},
        // A key made for the save and left behind holds no value: the same
        // save with administrator rights may still pass, and writes it too.
        {"denied, and a made key left",
         With(With(untouched, 2, ServiceSaveState::Refused, kErrorAccessDenied), 0,
              ServiceSaveState::EmptyKeyLeft, kCorrupt),
         SaveOutcome::RefusedForRights, kExitAccessDenied},
        {"denied, and a made service key left",
         With(With(untouched, 2, ServiceSaveState::Refused, kErrorAccessDenied), 0,
              ServiceSaveState::EmptyServiceKeyLeft, kCorrupt),
         SaveOutcome::RefusedForRights, kExitAccessDenied},
        {"refused otherwise, and a made key left",
         With(With(untouched, 2, ServiceSaveState::Refused, kCorrupt), 0,
              ServiceSaveState::EmptyKeyLeft, kErrorAccessDenied),
         SaveOutcome::Refused, kExitFailed},
        {"a write failed", With(Every(ServiceSaveState::Written), 4, ServiceSaveState::Unchanged, kCorrupt),
         SaveOutcome::PartlyWritten, kExitFailed},
        {"a write denied", With(Every(ServiceSaveState::Written), 4, ServiceSaveState::ModeOnly,
                                kErrorAccessDenied),
         SaveOutcome::PartlyWritten, kExitFailed},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(JudgeSave(c.saved), c.outcome) << c.what;
        EXPECT_EQ(SaveExitCode(JudgeSave(c.saved)), c.exitCode) << c.what;
    }
    const SaveResult oneDenied = With(untouched, 2, ServiceSaveState::Refused, kErrorAccessDenied);
    EXPECT_EQ(CountInState(oneDenied, ServiceSaveState::Refused), 1u);
    EXPECT_EQ(CountInState(oneDenied, ServiceSaveState::Unchanged), 7u);
}

TEST(SaveVerdict, StatusInWords)
{
    const SystemStatusText system = [](RegStatus status) {
        StatusText words{};
        if (status == kCorrupt) {
            AppendStatusText(words, "The file is corrupt, error 1392");
        }
        return words;
    };
    EXPECT_STREQ(SaveStatusText(kErrorAccessDenied, system).text,
                 "access denied; changing it needs administrator rights");
    EXPECT_STREQ(SaveStatusText(kCorrupt, system).text, "The file is corrupt, error 1392");
    EXPECT_STREQ(SaveStatusText(77, system).text, "error 77") << "no system text";
    EXPECT_STREQ(SaveStatusText(kCorrupt, nullptr).text, "error 1392");
    EXPECT_STREQ(SaveStatusText(-3, nullptr).text, "error -3");
    EXPECT_STREQ(SaveStatusText(INT32_MIN, nullptr).text, "error -2147483648");
    EXPECT_STREQ(SaveStatusText(1090, nullptr).text, "error 1090") << "every digit, 0 and 9 too";
    EXPECT_STREQ(SaveStatusText(0, nullptr).text, "error 0");

    // A text that does not fit is cut, never overrun.
    StatusText words{};
    const std::string longText(kStatusTextSize * 2, 'x');
    AppendStatusText(words, longText.c_str());
    AppendStatusNumber(words, 7);
    EXPECT_EQ(std::string(words.text), std::string(kStatusTextSize - 1, 'x'));
}

} // namespace
