// The one judgement of a save, over hand-made results that reach each
// outcome, the mixed refusal among them; quorin-sync's exit code for each;
// how a status is told in words, and the report made of them.
#include "save_verdict.h"

#include "memory_registry.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <string>

namespace {


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
        {"refused otherwise", With(untouched, 2, ServiceSaveState::Refused, kErrorFileCorrupt),
         SaveOutcome::Refused, kExitFailed},
        // Rights alone would not make it pass.
        {"one denied, another refused otherwise",
         With(With(untouched, 2, ServiceSaveState::Refused, kErrorAccessDenied), 5,
              ServiceSaveState::Refused, kErrorFileCorrupt),
         SaveOutcome::Refused, kExitFailed},
        // A key made for the save and left behind holds no value: the same
        // save with administrator rights may still pass, and writes it too.
        {"denied, and a made key left",
         With(With(untouched, 2, ServiceSaveState::Refused, kErrorAccessDenied), 0,
              ServiceSaveState::EmptyKeyLeft, kErrorFileCorrupt),
         SaveOutcome::RefusedForRights, kExitAccessDenied},
        {"denied, and a made service key left",
         With(With(untouched, 2, ServiceSaveState::Refused, kErrorAccessDenied), 0,
              ServiceSaveState::EmptyServiceKeyLeft, kErrorFileCorrupt),
         SaveOutcome::RefusedForRights, kExitAccessDenied},
        {"refused otherwise, and a made key left",
         With(With(untouched, 2, ServiceSaveState::Refused, kErrorFileCorrupt), 0,
              ServiceSaveState::EmptyKeyLeft, kErrorAccessDenied),
         SaveOutcome::Refused, kExitFailed},
        // A service some call failed for is not one rights alone would cure.
        {"denied, and another unchanged by a failed call",
         With(With(untouched, 2, ServiceSaveState::Refused, kErrorAccessDenied), 6,
              ServiceSaveState::Unchanged, kErrorFileCorrupt),
         SaveOutcome::Refused, kExitFailed},
        {"a write failed", With(Every(ServiceSaveState::Written), 4, ServiceSaveState::Unchanged, kErrorFileCorrupt),
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

TEST(SaveVerdict, StatusInWordsAndTheReportsReasons)
{
    MemoryRegistry silent;
    MemoryRegistry system;
    system.TellStatusesBy([](RegStatus status) {
        StatusText words{};
        if (status == kErrorFileCorrupt) {
            AppendStatusText(words, "The file is corrupt, error 1392");
        }
        return words;
    });
    EXPECT_STREQ(SaveStatusText(system, kErrorAccessDenied).text,
                 "access denied; changing it needs administrator rights");
    EXPECT_STREQ(SaveStatusText(system, kErrorFileCorrupt).text, "The file is corrupt, error 1392");
    EXPECT_STREQ(SaveStatusText(system, 77).text, "error 77") << "no system text";
    EXPECT_STREQ(SystemStatusText(system, kErrorAccessDenied).text, "error 5")
        << "only a save's codes are about rights";
    EXPECT_STREQ(SaveStatusText(silent, kErrorFileCorrupt).text, "error 1392");
    EXPECT_STREQ(SaveStatusText(silent, -3).text, "error -3");
    EXPECT_STREQ(SaveStatusText(silent, INT32_MIN).text, "error -2147483648");
    EXPECT_STREQ(SaveStatusText(silent, 1090).text, "error 1090") << "every digit, 0 and 9 too";
    EXPECT_STREQ(SaveStatusText(silent, 0).text, "error 0");

    // The report is judged once, with a reason where a call failed and only there.
    const SaveResult saved =
        With(With(Every(ServiceSaveState::Unchanged), 2, ServiceSaveState::Refused, kErrorAccessDenied),
             5, ServiceSaveState::EmptyServiceKeyLeft, kErrorFileCorrupt);
    const SaveReport report = ReportSave(system, saved);
    EXPECT_EQ(report.outcome, JudgeSave(saved));
    EXPECT_TRUE(report.keyLeft);
    for (std::size_t row = 0; row < kDriverServiceCount; ++row) {
        EXPECT_EQ(report.services[row].state, saved[row].state) << row;
        EXPECT_STREQ(report.reasons[row].text, row == 2   ? "access denied; changing it needs administrator rights"
                                               : row == 5 ? "The file is corrupt, error 1392"
                                                          : "")
            << row;
    }
    EXPECT_TRUE(ReportSave(system, With(saved, 5, ServiceSaveState::EmptyKeyLeft, kErrorFileCorrupt)).keyLeft)
        << "an empty Parameters key left counts too";
    EXPECT_FALSE(ReportSave(system, Every(ServiceSaveState::Written)).keyLeft);

    // A text that does not fit is cut, never overrun.
    StatusText words{};
    const std::string longText(kStatusTextSize * 2, 'x');
    AppendStatusText(words, longText.c_str());
    AppendStatusNumber(words, 7);
    EXPECT_EQ(std::string(words.text), std::string(kStatusTextSize - 1, 'x'));
}

} // namespace
