// The dialog and quorin-sync judge every save alike: over the whole
// fault-injection sweep, each save is made once by quorin-sync set and once
// as the dialog makes it, from the same starting state with the same fault.
// Both leave the registry the same; quorin-sync's exit code and the
// dialog's error box say the same thing: all written (exit 0, no box),
// refused for want of rights alone (exit 4, the box sends to the
// administrator or offers to save as one), or any other failure (exit 3,
// the box asks to try again, never offers).
#include "driver_parameter_store.h"
#include "quorin_sync_cli.h"
#include "save_failure_message.h"
#include "save_fault_sweep.h"
#include "save_lock.h"
#include "text_match.h"

#include <gtest/gtest.h>

#include <map>
#include <string>

namespace {

constexpr std::uint32_t kMode = 2;
constexpr std::int32_t kFrames = 17;

TEST(SaveVerdictAgreement, DialogAndQuorinSyncAgreeOnEverySaveOfTheFaultSweep)
{
    std::map<int, std::size_t> exitCodes;
    for (RegStatus injected : {kErrorAccessDenied, kErrorFileCorrupt}) {
        for (const SaveFault& fault : SaveFaultSweep(kMode, kFrames)) {
            SCOPED_TRACE(Describe(fault.state, fault.operation, fault.position) + ", status " +
                         std::to_string(injected));
            MemoryRegistry cliRegistry;
            PrepareWithFault(cliRegistry, fault.state, fault.operation, fault.position, injected);
            CliOutput output;
            const int exitCode = RunCli({"set", "--mode", "line", "--frames", "17"}, cliRegistry, output);
            ++exitCodes[exitCode];

            MemoryRegistry dialogRegistry;
            PrepareWithFault(dialogRegistry, fault.state, fault.operation, fault.position, injected);
            const SaveReport saved =
                SaveOneAtATime(DriverParameterStore(dialogRegistry), nullptr, nullptr, kMode, kFrames)
                    .report;
            EXPECT_EQ(dialogRegistry.Dump(), cliRegistry.Dump());

            if (exitCode == kExitOk) {
                EXPECT_EQ(saved.outcome, SaveOutcome::AllWritten)
                    << "quorin-sync wrote all, the dialog would not close";
                EXPECT_EQ(output.err, "");
                continue;
            }
            ASSERT_NE(saved.outcome, SaveOutcome::AllWritten)
                << "the dialog would close on a save quorin-sync failed";
            const std::string box(SaveFailureMessage(saved));
            const std::string offer(SaveFailureMessage(saved, true));
            if (exitCode == kExitAccessDenied) {
                EXPECT_TRUE(EndsWith(box, "Start Quorin Sync Options as administrator and press OK "
                                          "again. Only the installed program, started from its own "
                                          "folder, offers to save as administrator."))
                    << box;
                EXPECT_TRUE(EndsWith(offer, "Windows will ask for an administrator's permission.")) << offer;
                // A key the save made and could not remove holds no value, but
                // neither says that nothing at all changed.
                const bool keyLeft = Contains(box, "could not be removed again");
                EXPECT_EQ(keyLeft, Contains(output.err, "empty") && Contains(output.err, "key made for it was left"))
                    << box << "\n" << output.err;
                EXPECT_EQ(box.rfind(keyLeft ? "Nothing was saved: " : "Nothing was saved and nothing was changed", 0),
                          0u)
                    << box;
                EXPECT_TRUE(Contains(output.err, keyLeft ? "No value was changed" : "Nothing was changed"))
                    << output.err;
            } else {
                ASSERT_EQ(exitCode, kExitFailed) << output.err;
                EXPECT_TRUE(EndsWith(box, "Press OK to try again.")) << box;
                EXPECT_EQ(offer, box) << "offered to save as administrator";
                EXPECT_EQ(Contains(box, "only partly saved"), Contains(output.err, "only partly saved"))
                    << box << "\n" << output.err;
            }
        }
    }
    // The sweep reaches all three verdicts.
    EXPECT_GT(exitCodes[kExitOk], 0u);
    EXPECT_GT(exitCodes[kExitAccessDenied], 0u);
    EXPECT_GT(exitCodes[kExitFailed], 0u);
    RecordProperty("saves", static_cast<int>(exitCodes[0] + exitCodes[3] + exitCodes[4]));
}

} // namespace
