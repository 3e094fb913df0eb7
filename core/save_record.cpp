// Building a save's audit record from its result.
#include "save_record.h"

#include "sync_settings.h"

namespace {

const char* StateWord(ServiceSaveState state)
{
    switch (state) {
    case ServiceSaveState::Written: return "written";
    case ServiceSaveState::Refused: return "refused";
    case ServiceSaveState::Unchanged: return "unchanged";
    case ServiceSaveState::ModeOnly: return "mode only";
    case ServiceSaveState::EmptyKeyLeft: return "empty key left";
    case ServiceSaveState::EmptyServiceKeyLeft: return "empty service key left";
    }
    return "?";
}

const char* OutcomeWords(SaveOutcome outcome)
{
    switch (outcome) {
    case SaveOutcome::AllWritten: return "all eight services written";
    case SaveOutcome::RefusedForRights: return "refused for want of administrator rights; no value changed";
    case SaveOutcome::Refused: return "refused; no value changed";
    case SaveOutcome::PartlyWritten: return "partly written";
    }
    return "?";
}

// A value as it was found: its number, or why there is none.
void AppendOld(StatusText& words, const ServiceReading& before, const StoredShape& shape,
               long long number)
{
    // A missing key holds no value, as a missing value is none.
    const bool absent = before.keyMissing || (before.found && !shape.present && !shape.unreadable);
    if (absent) {
        AppendStatusText(words, "absent");
    } else if (!before.found || !shape.present) {
        AppendStatusText(words, "unread");
    } else if (!IsStoredDword(shape)) {
        AppendStatusText(words, "not a DWORD");
    } else {
        AppendStatusNumber(words, number);
    }
}

// "old -> new", where new is the old value again unless this save wrote it.
void AppendChange(StatusText& words, const ServiceReading& before, const StoredShape& shape,
                  long long oldNumber, bool written, long long newNumber)
{
    AppendOld(words, before, shape, oldNumber);
    AppendStatusText(words, " -> ");
    if (written) {
        AppendStatusNumber(words, newNumber);
    } else {
        AppendOld(words, before, shape, oldNumber);
    }
}

SaveRecord RecordOf(const SaveActor& actor, SaveEventId eventId, RecordType type,
                    std::uint32_t mode, std::int32_t framesNumber)
{
    SaveRecord record{eventId, type, {}};
    AppendStatusText(record.strings[kRecordUser], actor.user);
    AppendStatusText(record.strings[kRecordProgram], actor.program);
    AppendStatusText(record.strings[kRecordElevated], actor.elevated ? "yes" : "no");
    AppendStatusNumber(record.strings[kRecordMode], mode);
    AppendStatusText(record.strings[kRecordModeWord], SynchModeWord(mode));
    AppendStatusNumber(record.strings[kRecordFrames], framesNumber);
    return record;
}

} // namespace

SaveRecord RecordOfSave(const SaveActor& actor, std::uint32_t mode, std::int32_t framesNumber,
                        const SaveReport& saved)
{
    const SaveOutcome outcome = saved.outcome;
    SaveEventId eventId = kEventNothingChanged;
    RecordType type = RecordType::Warning;
    if (outcome == SaveOutcome::AllWritten) {
        eventId = kEventSaved;
        type = RecordType::Information;
    } else if (outcome == SaveOutcome::PartlyWritten) {
        eventId = kEventPartlySaved;
        type = RecordType::Error;
    }
    SaveRecord record = RecordOf(actor, eventId, type, mode, framesNumber);
    for (std::size_t row = 0; row < kDriverServiceCount; ++row) {
        const ServiceSaveStatus& service = saved.services[row];
        const ServiceReading& before = service.before;
        StatusText& words = record.strings[kRecordFirstService + row];
        AppendStatusText(words, DriverServiceList[row].name);
        AppendStatusText(words, ": ");
        AppendStatusText(words, StateWord(service.state));
        if (service.status != kErrorSuccess) {
            AppendStatusText(words, " (error ");
            AppendStatusNumber(words, service.status);
            AppendStatusText(words, ")");
        }
        const bool modeWritten = service.state == ServiceSaveState::Written ||
                                 service.state == ServiceSaveState::ModeOnly;
        AppendStatusText(words, "; mode ");
        AppendChange(words, before, before.modeShape, before.mode, modeWritten, mode);
        AppendStatusText(words, "; frames ");
        AppendChange(words, before, before.framesShape, before.framesNumber,
                     service.state == ServiceSaveState::Written, framesNumber);
    }
    AppendStatusText(record.strings[kRecordDetail], OutcomeWords(outcome));
    return record;
}

SaveRecord RecordOfElevatedSaveNotRun(const SaveActor& actor, std::uint32_t mode,
                                      std::int32_t framesNumber, bool declined,
                                      const char* systemWords)
{
    SaveRecord record =
        RecordOf(actor, kEventElevatedSaveNotRun, RecordType::Warning, mode, framesNumber);
    for (std::size_t row = 0; row < kDriverServiceCount; ++row) {
        StatusText& words = record.strings[kRecordFirstService + row];
        AppendStatusText(words, DriverServiceList[row].name);
        AppendStatusText(words, ": not reached");
    }
    StatusText& detail = record.strings[kRecordDetail];
    if (declined) {
        AppendStatusText(detail, "the administrator prompt was declined");
    } else {
        AppendStatusText(detail, "quorin-sync.exe could not be started: ");
        AppendStatusText(detail, systemWords);
    }
    return record;
}
