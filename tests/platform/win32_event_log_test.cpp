// The event log seam over Win32: who saves is read from this process's own
// token, and a record reaches ReportEvent (under Wine a stub that keeps
// nothing, so what it was given is checked end to end from Wine's trace).
#include "win32_event_log.h"

#include <gtest/gtest.h>

#include <string>

namespace {

TEST(Win32EventLogTrail, NamesThisAccountAndProgramAndWritesARecord)
{
    Win32EventLogTrail trail;
    const SaveActor actor = trail.Actor();
    const std::string user = actor.user;
    const std::string program = actor.program;
    // DOMAIN\name, or the SID where the account does not resolve (as under
    // Wine, whose lookup knows only well-known accounts).
    const std::size_t slash = user.find('\\');
    const bool named = slash != std::string::npos && slash > 0 && slash + 1 < user.size();
    EXPECT_TRUE(named || user.rfind("S-1-5-", 0) == 0) << user;
    const std::string name = "platform_tests.exe";
    ASSERT_GE(program.size(), name.size());
    EXPECT_EQ(program.substr(program.size() - name.size()), name);
    EXPECT_EQ(program.find(':'), 1u) << "a full path: " << program;

    const SaveRecord record = RecordOfElevatedSaveNotRun(actor, 0, 1, true, "");
    EXPECT_EQ(trail.Write(record), kErrorSuccess);
}

} // namespace
