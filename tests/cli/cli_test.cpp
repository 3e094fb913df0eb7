// quorin-sync's commands over the in-memory registry: what each prints and
// the exit code a script sees.
#include "cli_arguments.h"
#include "driver_parameter_store.h"
#include "fake_save_lock.h"
#include "fake_save_trail.h"
#include "memory_registry.h"
#include "seed_service.h"
#include "quorin_sync_cli.h"
#include "sync_settings.h"
#include "text_match.h"
#include "version.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace {

class CliTest : public ::testing::Test {
protected:
    int Run(const std::vector<std::string>& args)
    {
        output = CliOutput();
        return RunCli(args, registry, output);
    }

    void Seed(std::size_t row, std::uint32_t mode, std::int32_t frames)
    {
        SeedService(registry, row, mode, frames);
    }

    void SeedAll(std::uint32_t mode, std::int32_t frames)
    {
        for (std::size_t row = 0; row < kDriverServiceCount; ++row) {
            Seed(row, mode, frames);
        }
    }

    MemoryRegistry registry;
    CliOutput output;
};

TEST_F(CliTest, UsageErrorsExitTwoWithTheReasonAndChangeNothing)
{
    struct Case {
        std::vector<std::string> args;
        const char* reason;
    };
    const Case cases[] = {
        {{}, "no command given"},
        {{"sett"}, "unknown command \"sett\""},
        {{"show", "--mode", "off"}, "unknown option \"--mode\" for \"show\""},
        {{"set", "--mode", "fast", "--frames", "1"}, "unknown mode \"fast\""},
        {{"set", "--mode", "line"}, "\"set\" needs both --mode and --frames"},
        {{"set", "--mode", "line", "--frames"}, "--frames needs a value"},
        {{"set", "--mode", "line", "--mode", "off", "--frames", "1"}, "--mode given twice"},
        {{"check", "--mode", "off", "--frames", "12x"}, "\"12x\" is not a whole number"},
        {{"check", "--mode", "off", "--frames", ""}, "\"\" is not a whole number"},
        {{"check", "--mode", "off", "--frames", " 3"}, "\" 3\" is not a whole number"},
        {{"check", "--mode", "off", "--frames", "1.5"}, "\"1.5\" is not a whole number"},
        {{"check", "--mode", "off", "--frames", "2147483648"}, "\"2147483648\" is not a whole number"},
        {{"check", "--mode", "off", "--frames", "-"}, "\"-\" is not a whole number"},
        {{"set", "--mode", "off", "--frames", "1", "extra"}, "unknown option \"extra\""},
        {{"--version", "x"}, "\"--version\" takes nothing after it"},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(Run(c.args), 2) << c.reason;
        EXPECT_TRUE(Contains(output.err, c.reason)) << output.err;
        EXPECT_TRUE(Contains(output.err, "usage: quorin-sync show [--json]")) << output.err;
        EXPECT_EQ(output.out, "");
    }
    EXPECT_EQ(registry.CountCalls(RegOperation::CreateKey), 0u);
    EXPECT_EQ(registry.CountCalls(RegOperation::OpenKey), 0u);
}

TEST_F(CliTest, FramesTakeTheWhole32BitRangeAndBothOptionForms)
{
    ASSERT_EQ(Run({"set", "--mode=scanstart", "--frames=-2147483648"}), 0) << output.err;
    EXPECT_EQ(registry.FindValue(DriverServiceList[7].parametersKey, kSynchFramesNumberValueName)->data,
              (std::vector<unsigned char>{0x00, 0x00, 0x00, 0x80}));
    EXPECT_EQ(registry.FindValue(DriverServiceList[7].parametersKey, kExternalSynchModeValueName)->data,
              (std::vector<unsigned char>{4, 0, 0, 0}));
    EXPECT_EQ(Run({"check", "--frames", "+2147483647", "--mode", "frame"}), 1);
    EXPECT_EQ(Run({"set", "--frames", "2147483647", "--mode", "off"}), 0);
    EXPECT_EQ(Run({"check", "--mode", "off", "--frames", "2147483647"}), 0) << output.out;
    // Eleven digits, leading zeros, is still a number in range.
    EXPECT_EQ(Run({"check", "--mode", "off", "--frames", "02147483647"}), 0) << output.err;
    // Every digit is a digit, the first and the last of them included.
    for (const char* frames : {"90", "0", "-109"}) {
        EXPECT_EQ(Run({"set", "--mode=line", std::string("--frames=") + frames}), 0) << frames;
        EXPECT_EQ(Run({"check", "--mode=line", std::string("--frames=") + frames}), 0) << frames;
    }
}

TEST_F(CliTest, HelpAndVersion)
{
    EXPECT_EQ(Run({"--help"}), 0);
    EXPECT_TRUE(Contains(output.out, "usage: quorin-sync show [--json]"));
    EXPECT_TRUE(Contains(output.out, "4 set refused for want of rights"));
    EXPECT_EQ(Run({"--version"}), 0);
    EXPECT_EQ(output.out, "quorin-sync " QUORIN_VERSION_TEXT "\n");
}

TEST_F(CliTest, ShowListsEveryServiceAndWhetherTheyAgree)
{
    Seed(0, 4, 3);
    Seed(2, 3, 7);
    registry.SetDword(DriverServiceList[3].parametersKey, kExternalSynchModeValueName, 2);
    EXPECT_EQ(Run({"show"}), 0);
    EXPECT_TRUE(Contains(output.out, "Quorin     yes      4 (scanstart)   3\n")) << output.out;
    EXPECT_TRUE(Contains(output.out, "QuorinDx   no       -               -\n")) << output.out;
    EXPECT_TRUE(Contains(output.out, "QuorinRv   yes      3 (unknown)     7\n")) << output.out;
    EXPECT_TRUE(Contains(output.out, "QuorinM    yes      2 (line)        not set\n")) << output.out;
    EXPECT_TRUE(Contains(output.out, "The eight services do not agree.\n")) << output.out;
    EXPECT_EQ(Run({"show", "--json"}), 0);
    EXPECT_TRUE(Contains(output.out, "{\"name\": \"QuorinM\", \"present\": true, \"mode\": 2, "
                                     "\"meaning\": \"line\", \"frames\": null, "
                                     "\"mode_stored_as\": null, \"frames_stored_as\": null}"))
        << output.out;
    EXPECT_TRUE(Contains(output.out, "{\"name\": \"QuorinDx\", \"present\": false, \"mode\": null, "
                                     "\"meaning\": null, \"frames\": null, \"mode_stored_as\": null, "
                                     "\"frames_stored_as\": null}"))
        << output.out;
    EXPECT_EQ(output.out.rfind("{\"services\": [\n  {\"name\": \"Quorin\", ", 0), 0u) << output.out;
    // A text exactly as wide as its column still has a space after it.
    registry.SetValue(DriverServiceList[3].parametersKey, kExternalSynchModeValueName, kRegSz,
                      std::vector<unsigned char>(16, 'x'));
    EXPECT_EQ(Run({"show"}), 0);
    EXPECT_TRUE(Contains(output.out, "QuorinM    yes      REG_SZ, 16 bytes not set\n")) << output.out;

    SeedAll(2, 5);
    EXPECT_EQ(Run({"show"}), 0);
    EXPECT_TRUE(Contains(output.out, "All eight services agree: mode 2 (line), frames 5.\n"))
        << output.out;
    EXPECT_EQ(Run({"show", "--json"}), 0);
    EXPECT_TRUE(Contains(output.out, "{\"name\": \"QuorinNq\", \"present\": true, \"mode\": 2, "
                                     "\"meaning\": \"line\", \"frames\": 5, "
                                     "\"mode_stored_as\": null, \"frames_stored_as\": null}"))
        << output.out;
    EXPECT_TRUE(Contains(output.out, "\"agree\": true, \"mode\": 2, \"meaning\": \"line\", \"frames\": 5}"))
        << output.out;
    EXPECT_EQ(registry.CountCalls(RegOperation::CreateKey), 0u) << "show writes nothing";
}

TEST_F(CliTest, CheckPassesOnlyWhenEveryServiceHoldsExactlyTheSettings)
{
    SeedAll(4, 3);
    EXPECT_EQ(Run({"check", "--mode", "scanstart", "--frames", "3"}), 0);
    EXPECT_EQ(output.out, "All eight services hold mode 4 (scanstart), frames 3.\n");

    Seed(4, 1, 3);
    Seed(6, 4, 9);
    EXPECT_EQ(Run({"check", "--mode", "scanstart", "--frames", "3"}), 1);
    EXPECT_EQ(output.out, "QuorinPx7: mode 1 (frame), expected 4 (scanstart)\n"
                          "QuorinSv: frames 9, expected 3\n");

    registry.DeleteKey(DriverServiceList[1].serviceKey);
    EXPECT_EQ(Run({"check", "--mode", "frame", "--frames", "3"}), 1);
    EXPECT_TRUE(Contains(output.out, "QuorinDx: no Parameters key\n")) << output.out;
    EXPECT_EQ(registry.CountCalls(RegOperation::CreateKey), 0u) << "check writes nothing";
}

// A driver that reads a REG_DWORD may take its default for anything else:
// check and the agreement count only REG_DWORD values of four bytes, show
// names the others, and set rewrites them as REG_DWORD.
TEST_F(CliTest, OnlyFourByteDwordsCountAndSetRewritesTheOthers)
{
    const struct {
        std::uint32_t type;
        std::vector<unsigned char> data;
        const char* shown;
    } cases[] = {
        {kRegBinary, {4, 0, 0, 0}, "REG_BINARY, 4 bytes"},
        {kRegBinary, {3}, "REG_BINARY, 1 byte"},
        {kRegSz, {0}, "REG_SZ, 1 byte"},
        {kRegSz, {}, "REG_SZ, 0 bytes"},
        {kRegDword, {3, 0}, "REG_DWORD, 2 bytes"},
        {kRegQword, {3, 0, 0, 0, 0, 0, 0, 0}, "REG_QWORD, 8 bytes"},
        {12, {3, 0, 0, 0}, "type 12, 4 bytes"},
        {99, {3, 0, 0, 0}, "type 99, 4 bytes"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.shown);
        SeedAll(4, 3);
        for (const DriverService& service : DriverServiceList) {
            registry.SetValue(service.parametersKey, kSynchFramesNumberValueName, c.type, c.data);
        }
        EXPECT_EQ(Run({"check", "--mode", "scanstart", "--frames", "3"}), 1);
        EXPECT_TRUE(Contains(output.out, std::string("QuorinNq: frames ") + c.shown + ", expected 3\n"))
            << output.out;
        EXPECT_EQ(Run({"show"}), 0);
        EXPECT_TRUE(Contains(output.out, std::string("QuorinS    yes      4 (scanstart)   ") + c.shown))
            << output.out;
        EXPECT_TRUE(Contains(output.out, "The eight services do not agree.\n")) << output.out;
        EXPECT_EQ(Run({"show", "--json"}), 0);
        EXPECT_TRUE(Contains(output.out, std::string("\"frames\": null, \"mode_stored_as\": null, "
                                                     "\"frames_stored_as\": \"") + c.shown + "\"}"))
            << output.out;
        EXPECT_TRUE(Contains(output.out, "\"agree\": false")) << output.out;

        // The same for the mode, alone in one service.
        SeedAll(4, 3);
        registry.SetValue(DriverServiceList[3].parametersKey, kExternalSynchModeValueName, c.type, c.data);
        EXPECT_EQ(Run({"check", "--mode", "scanstart", "--frames", "3"}), 1);
        EXPECT_EQ(output.out, std::string("QuorinM: mode ") + c.shown + ", expected 4 (scanstart)\n");

        EXPECT_EQ(Run({"set", "--mode", "scanstart", "--frames", "3"}), 0) << output.err;
        const RegValue* mode = registry.FindValue(DriverServiceList[3].parametersKey, kExternalSynchModeValueName);
        ASSERT_NE(mode, nullptr);
        EXPECT_EQ(mode->type, kRegDword);
        EXPECT_EQ(mode->data, DwordBytes(4));
        EXPECT_EQ(Run({"check", "--mode", "scanstart", "--frames", "3"}), 0) << output.out;
    }
}

TEST_F(CliTest, SetWritesAllEightOrRefusesWithFourAndChangesNothing)
{
    EXPECT_EQ(Run({"set", "--mode", "line", "--frames", "6"}), 0);
    EXPECT_EQ(output.out, "Set all eight services to mode 2 (line), frames 6.\n");
    EXPECT_EQ(output.err, "") << "the per-service lines are for failures only";
    EXPECT_EQ(Run({"check", "--mode", "line", "--frames", "6"}), 0);

    for (std::size_t row : {2u, 5u}) {
        registry.RestrictAccess(DriverServiceList[row].parametersKey, 0x20019);
    }
    const std::vector<std::string> before = registry.Dump();
    EXPECT_EQ(Run({"set", "--mode", "off", "--frames", "1"}), 4);
    EXPECT_EQ(registry.Dump(), before);
    EXPECT_TRUE(Contains(output.err, "QuorinRv: refused: access denied; changing it needs administrator rights\n"))
        << output.err;
    EXPECT_TRUE(Contains(output.err, "QuorinS: refused: access denied")) << output.err;
    EXPECT_TRUE(Contains(output.err, "Quorin: unchanged\n")) << output.err;
    EXPECT_TRUE(Contains(output.err, "Nothing was changed")) << output.err;
}

TEST_F(CliTest, SetWaitsForAnotherSaveAndExitsFiveWithNothingChangedWhenItDoesNotEnd)
{
    SeedAll(2, 6);
    FakeSaveLock lock(registry);
    lock.heldElsewhere = true;
    const std::vector<std::string> before = registry.Dump();
    output = CliOutput();
    EXPECT_EQ(RunCli({"set", "--mode", "off", "--frames", "1"}, registry, output, &lock), 5);
    EXPECT_EQ(output.err, "Nothing was changed: another save of these settings is in progress; "
                          "try again.\n");
    EXPECT_EQ(output.out, "");
    EXPECT_EQ(registry.Dump(), before);

    lock.heldElsewhere = false;
    output = CliOutput();
    EXPECT_EQ(RunCli({"set", "--mode", "off", "--frames", "1"}, registry, output, &lock), 0);
    EXPECT_EQ(lock.acquired, 1);
    EXPECT_EQ(lock.released, 1);
    // show and check read without it.
    output = CliOutput();
    EXPECT_EQ(RunCli({"check", "--mode", "off", "--frames", "1"}, registry, output, &lock), 0);
    EXPECT_EQ(lock.acquired, 1);
    EXPECT_EQ(Run({"--help"}), 0);
    EXPECT_TRUE(Contains(output.out, "5 set found another save in progress")) << output.out;
}

// A save that happened stays reported as it happened when its record could
// not be kept: one line more on stderr, the same exit code. Only a set that
// reached the registry is recorded.
TEST_F(CliTest, EverySetIsRecordedOnceAndARecordNotKeptChangesNoExitCode)
{
    constexpr RegStatus kLogFull = 1502;
    const MemoryRegistry::StatusWords logFull = [](RegStatus) {
        StatusText words{};
        AppendStatusText(words, "The event log file is full.");
        return words;
    };
    const std::vector<std::string> set = {"set", "--mode", "line", "--frames", "3"};
    struct Case {
        bool refused;
        MemoryRegistry::StatusWords systemText;
        int exitCode;
        const char* line;
    };
    const Case cases[] = {
        {false, logFull, 0, "quorin-sync: this save is not in the event log: The event log file is full.\n"},
        {true, logFull, 4, "quorin-sync: this save is not in the event log: The event log file is full.\n"},
        {false, nullptr, 0, "quorin-sync: this save is not in the event log: error 1502\n"},
    };
    for (const Case& c : cases) {
        registry.RestrictAccess(DriverServiceList[6].parametersKey,
                                c.refused ? kKeyRead : MemoryRegistry::kAllowEverything);
        FakeSaveTrail trail;
        trail.failWith = kLogFull;
        output = CliOutput();
        registry.TellStatusesBy(c.systemText);
        EXPECT_EQ(RunCli(set, registry, output, nullptr, &trail), c.exitCode);
        EXPECT_EQ(trail.records.size(), 1u);
        EXPECT_TRUE(Contains(output.err, c.line)) << output.err;
        EXPECT_EQ(output.err.find("this save is not"), output.err.rfind("this save is not")) << "one line";
        EXPECT_EQ(Contains(output.out, "Set all eight services"), !c.refused) << output.out;
    }

    FakeSaveTrail trail;
    FakeSaveLock lock(registry);
    for (const std::vector<std::string>& args :
         {std::vector<std::string>{"show"}, {"check", "--mode", "off", "--frames", "1"},
          {"set", "--mode", "nine", "--frames", "1"}}) {
        output = CliOutput();
        RunCli(args, registry, output, &lock, &trail);
    }
    lock.heldElsewhere = true;
    EXPECT_EQ(RunCli(set, registry, output, &lock, &trail), 5);
    EXPECT_TRUE(trail.records.empty()) << "nothing that reached no registry write is recorded";
    lock.heldElsewhere = false;
    output = CliOutput();
    EXPECT_EQ(RunCli(set, registry, output, &lock, &trail), 0);
    ASSERT_EQ(trail.records.size(), 1u);
    EXPECT_EQ(trail.records[0].eventId, kEventSaved);
    EXPECT_FALSE(Contains(output.err, "event log")) << output.err;
}

TEST_F(CliTest, OtherFailuresExitThree)
{
    registry.InjectFault(RegOperation::CreateKey, 2, kErrorFileCorrupt);
    EXPECT_EQ(Run({"set", "--mode", "off", "--frames", "1"}), 3);
    EXPECT_TRUE(Contains(output.err, "QuorinDx: refused: error 1392\n")) << output.err;
    EXPECT_TRUE(Contains(output.err, "Nothing was saved.\n")) << output.err;

    // A write that fails after every key opened.
    registry.InjectFault(RegOperation::SetValue, 3, kErrorFileCorrupt);
    EXPECT_EQ(Run({"set", "--mode", "off", "--frames", "1"}), 3);
    EXPECT_TRUE(Contains(output.err, "QuorinDx: unchanged: error 1392\n")) << output.err;
    EXPECT_TRUE(Contains(output.err, "Quorin: written\n")) << output.err;
    EXPECT_TRUE(Contains(output.err, "only partly saved")) << output.err;
}

} // namespace
