// The audit record of a save: who saved what, from which program, and where
// each of the eight services stood before and after. Decided here from the
// save's own result, so that the dialog and quorin-sync record alike; a
// SaveTrail puts it in the system's log.
#pragma once

#include "driver_parameter_store.h"
#include "save_verdict.h"

#include <cstddef>
#include <cstdint>

// How the log ranks a record.
enum class RecordType : std::uint8_t { Information, Warning, Error };

// One event per outcome; the numbers are the message table's.
enum SaveEventId : std::uint32_t {
    kEventSaved = 1000,              // every service written
    kEventNothingChanged = 1001,     // the save was refused: no value written
    kEventPartlySaved = 1002,        // some services written, others not
    kEventElevatedSaveNotRun = 1003, // the dialog's save as administrator never reached the registry
};

// The insertion strings' positions (the message's %1 is position 0), the
// same in every record, so that a script reads them without parsing prose.
enum SaveRecordString : std::size_t {
    kRecordUser,     // DOMAIN\name
    kRecordProgram,  // the saving program's path
    kRecordElevated, // "yes" or "no"
    kRecordMode,     // the new mode, a number
    kRecordModeWord, // the new mode as quorin-sync names it
    kRecordFrames,   // the new frames number
    kRecordFirstService, // one per service, in the order of DriverServiceList
    kRecordDetail = kRecordFirstService + kDriverServiceCount, // the outcome, or why it never ran
    kSaveRecordStringCount,
};

struct SaveRecord {
    SaveEventId eventId;
    RecordType type;
    StatusText strings[kSaveRecordStringCount];
};

// Who saves: given by the platform's side.
struct SaveActor {
    const char* user;    // DOMAIN\name
    const char* program; // the running program's path
    bool elevated;       // it runs with administrator rights
};

// The record of a save that reached the registry. Each service's string is
// "name: state; mode old -> new; frames old -> new", its state one of
// written, refused, unchanged, mode only, empty key left or empty service
// key left, followed by
// " (error N)" when a call failed for it. An old value is its number, or
// absent (it or its key is not there), not a DWORD, or unread (its key or
// the value could not be read).
SaveRecord RecordOfSave(const SaveActor& actor, std::uint32_t mode, std::int32_t framesNumber,
                        const SaveReport& saved);

// The record of a save as administrator that was asked for but never ran:
// its prompt was declined, or the program could not be started for the
// reason in `systemWords`. Every service's string is "name: not reached".
SaveRecord RecordOfElevatedSaveNotRun(const SaveActor& actor, std::uint32_t mode,
                                      std::int32_t framesNumber, bool declined,
                                      const char* systemWords);

// Where records are kept: the seam to the system's log.
class SaveTrail {
public:
    virtual ~SaveTrail() = default;

    virtual SaveActor Actor() = 0;
    // kErrorSuccess, or the system's code for why the record was not kept.
    virtual RegStatus Write(const SaveRecord& record) = 0;

protected:
    SaveTrail() = default;
    SaveTrail(const SaveTrail&) = default;
    SaveTrail& operator=(const SaveTrail&) = default;
};
