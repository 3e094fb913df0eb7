// A save's record tells what the save did: for every save of the fault
// sweep, the event and its type follow the save's outcome, and each
// service's string names its state and its values before and after exactly
// as the registry held them; old values are told as they were stored.
#include "fake_save_trail.h"
#include "save_fault_sweep.h"
#include "save_lock.h"
#include "save_record.h"
#include "sync_settings.h"

#include <gtest/gtest.h>

#include <map>
#include <regex>
#include <string>

namespace {

constexpr std::uint32_t kMode = 4;
constexpr std::int32_t kFrames = -7;
const SaveActor kActor{"SCANNER12\\technician", "C:\\Quorin\\quorin-sync.exe", true};

struct ExpectedEvent {
    SaveEventId eventId;
    RecordType type;
    const char* detail;
};

const std::map<SaveOutcome, ExpectedEvent> kEventOf = {
    {SaveOutcome::AllWritten, {kEventSaved, RecordType::Information, "all eight services written"}},
    {SaveOutcome::RefusedForRights,
     {kEventNothingChanged, RecordType::Warning,
      "refused for want of administrator rights; no value changed"}},
    {SaveOutcome::Refused, {kEventNothingChanged, RecordType::Warning, "refused; no value changed"}},
    {SaveOutcome::PartlyWritten, {kEventPartlySaved, RecordType::Error, "partly written"}},
};

const std::map<ServiceSaveState, std::string> kStateWord = {
    {ServiceSaveState::Written, "written"},
    {ServiceSaveState::Refused, "refused"},
    {ServiceSaveState::Unchanged, "unchanged"},
    {ServiceSaveState::ModeOnly, "mode only"},
    {ServiceSaveState::EmptyKeyLeft, "empty key left"},
    {ServiceSaveState::EmptyServiceKeyLeft, "empty service key left"},
};

// A value as the registry holds it, in the record's words.
std::string Held(const MemoryRegistry& registry, std::size_t row, const char* valueName)
{
    const RegValue* value = registry.FindValue(DriverServiceList[row].parametersKey, valueName);
    if (value == nullptr) {
        return "absent";
    }
    const std::uint32_t number = static_cast<std::uint32_t>(value->data[0]) |
                                 static_cast<std::uint32_t>(value->data[1]) << 8 |
                                 static_cast<std::uint32_t>(value->data[2]) << 16 |
                                 static_cast<std::uint32_t>(value->data[3]) << 24;
    return valueName == kSynchFramesNumberValueName
               ? std::to_string(static_cast<std::int32_t>(number))
               : std::to_string(number);
}

TEST(SaveRecord, EverySaveOfTheFaultSweepIsRecordedAsItHappened)
{
    const std::regex line("(\\w+): ([a-z ]+?)(?: \\(error (\\d+)\\))?; mode (.+) -> (.+); "
                          "frames (.+) -> (.+)");
    std::size_t cases = 0;
    for (const SaveFault& fault : SaveFaultSweep(kMode, kFrames)) {
        SCOPED_TRACE(Describe(fault.state, fault.operation, fault.position));
        MemoryRegistry registry;
        PrepareWithFault(registry, fault.state, fault.operation, fault.position, kErrorAccessDenied);
        MemoryRegistry before;
        Prepare(before, fault.state);
        const SaveResult saved = DriverParameterStore(registry).Save(kMode, kFrames);
        const SaveRecord record = RecordOfSave(kActor, kMode, kFrames, ReportSave(registry, saved));
        ++cases;

        const ExpectedEvent& expected = kEventOf.at(JudgeSave(saved));
        EXPECT_EQ(record.eventId, expected.eventId);
        EXPECT_EQ(record.type, expected.type);
        EXPECT_STREQ(record.strings[kRecordDetail].text, expected.detail);
        EXPECT_STREQ(record.strings[kRecordUser].text, "SCANNER12\\technician");
        EXPECT_STREQ(record.strings[kRecordProgram].text, "C:\\Quorin\\quorin-sync.exe");
        EXPECT_STREQ(record.strings[kRecordElevated].text, "yes");
        EXPECT_STREQ(record.strings[kRecordMode].text, "4");
        EXPECT_STREQ(record.strings[kRecordModeWord].text, "scanstart");
        EXPECT_STREQ(record.strings[kRecordFrames].text, "-7");

        // A reading that the fault itself failed can only say so.
        const bool readingMayFail = fault.operation == RegOperation::OpenKey ||
                                    fault.operation == RegOperation::QueryValue;
        std::size_t unreadValues = 0;
        for (std::size_t row = 0; row < kDriverServiceCount; ++row) {
            SCOPED_TRACE("row " + std::to_string(row + 1));
            const std::string text = record.strings[kRecordFirstService + row].text;
            std::smatch parts;
            ASSERT_TRUE(std::regex_match(text, parts, line)) << text;
            EXPECT_EQ(parts[1], DriverServiceList[row].name);
            EXPECT_EQ(parts[2], kStateWord.at(saved[row].state));
            EXPECT_EQ(parts[3].matched, saved[row].status != kErrorSuccess) << text;
            if (parts[3].matched) {
                EXPECT_EQ(parts[3], std::to_string(saved[row].status));
            }
            const char* names[] = {kExternalSynchModeValueName, kSynchFramesNumberValueName};
            for (std::size_t value = 0; value < 2; ++value) {
                const std::string old = parts[4 + 2 * value];
                const std::string now = parts[5 + 2 * value];
                if (old == "unread") {
                    ++unreadValues;
                    EXPECT_TRUE(readingMayFail) << text;
                    EXPECT_TRUE(now == "unread" || now == Held(registry, row, names[value])) << text;
                } else {
                    EXPECT_EQ(old, Held(before, row, names[value])) << text;
                    EXPECT_EQ(now, Held(registry, row, names[value])) << text;
                }
            }
        }
        EXPECT_LE(unreadValues, 2u) << "one fault fails one reading";
    }
    EXPECT_GT(cases, 100u);
}

TEST(SaveRecord, OldValuesAreToldAsTheyWereStored)
{
    MemoryRegistry registry;
    const auto key = [](std::size_t row) { return DriverServiceList[row].parametersKey; };
    registry.SetDword(key(0), kExternalSynchModeValueName, 2);
    registry.SetDword(key(0), kSynchFramesNumberValueName, static_cast<std::uint32_t>(-3));
    registry.SetValue(key(1), kExternalSynchModeValueName, kRegSz, {'2', 0});
    registry.SetValue(key(1), kSynchFramesNumberValueName, kRegBinary, {5, 0, 0, 0});
    registry.SetDword(key(2), kExternalSynchModeValueName, 1);
    registry.SetDword(key(3), kExternalSynchModeValueName, 1);
    registry.RestrictAccess(key(3), kKeySetValue); // may be set, not read
    // The first query is row 1's mode: it fails, so its old value is unknown.
    registry.InjectFault(RegOperation::QueryValue, 1, kErrorAccessDenied);
    const SaveResult saved = DriverParameterStore(registry).Save(1, 5);
    ASSERT_TRUE(AllWritten(saved));
    const SaveRecord record = RecordOfSave(kActor, 1, 5, ReportSave(registry, saved));
    const char* const expected[kDriverServiceCount] = {
        "Quorin: written; mode unread -> 1; frames -3 -> 5",
        "QuorinDx: written; mode not a DWORD -> 1; frames not a DWORD -> 5",
        "QuorinRv: written; mode 1 -> 1; frames absent -> 5",
        "QuorinM: written; mode unread -> 1; frames unread -> 5",
        "QuorinPx7: written; mode absent -> 1; frames absent -> 5",
        "QuorinS: written; mode absent -> 1; frames absent -> 5",
        "QuorinSv: written; mode absent -> 1; frames absent -> 5",
        "QuorinNq: written; mode absent -> 1; frames absent -> 5",
    };
    for (std::size_t row = 0; row < kDriverServiceCount; ++row) {
        EXPECT_STREQ(record.strings[kRecordFirstService + row].text, expected[row]);
    }
    EXPECT_STREQ(record.strings[kRecordModeWord].text, "frame");
}

TEST(SaveRecord, ASaveAsAdministratorThatNeverRanSaysWhy)
{
    const SaveRecord declined = RecordOfElevatedSaveNotRun(kActor, 0, 1, true, "");
    const SaveRecord notStarted =
        RecordOfElevatedSaveNotRun(kActor, 2, 3, false, "The system cannot find the file specified.");
    for (const SaveRecord* record : {&declined, &notStarted}) {
        EXPECT_EQ(record->eventId, kEventElevatedSaveNotRun);
        EXPECT_EQ(record->type, RecordType::Warning);
        EXPECT_STREQ(record->strings[kRecordUser].text, "SCANNER12\\technician");
        EXPECT_STREQ(record->strings[kRecordFirstService + 4].text, "QuorinPx7: not reached");
    }
    EXPECT_STREQ(declined.strings[kRecordModeWord].text, "off");
    EXPECT_STREQ(declined.strings[kRecordDetail].text, "the administrator prompt was declined");
    EXPECT_STREQ(notStarted.strings[kRecordMode].text, "2");
    EXPECT_STREQ(notStarted.strings[kRecordFrames].text, "3");
    EXPECT_STREQ(notStarted.strings[kRecordDetail].text,
                 "quorin-sync.exe could not be started: The system cannot find the file specified.");
}

TEST(SaveRecord, OneRecordPerSaveWrittenUnderTheLockAndNoneForABusySave)
{
    MemoryRegistry registry;
    const DriverParameterStore store(registry);
    FakeSaveLock lock(registry);
    FakeSaveTrail trail;
    trail.lock = &lock;
    trail.failWith = kErrorAccessDenied;
    const LockedSave saved = SaveOneAtATime(store, &lock, &trail, 2, 6);
    EXPECT_TRUE(AllWritten(saved.report.services)) << "a record not kept undoes nothing";
    EXPECT_EQ(saved.recordStatus, kErrorAccessDenied);
    ASSERT_EQ(trail.records.size(), 1u);
    EXPECT_TRUE(trail.lockHeld[0]) << "recorded before the lock is let go";
    EXPECT_EQ(trail.records[0].eventId, kEventSaved);
    EXPECT_STREQ(trail.records[0].strings[kRecordUser].text, FakeSaveTrail::kUser);

    lock.heldElsewhere = true;
    EXPECT_TRUE(SaveOneAtATime(store, &lock, &trail, 1, 1).busy);
    EXPECT_EQ(trail.records.size(), 1u) << "a save that never reached the registry has no record";
}

} // namespace
