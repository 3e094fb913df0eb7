// The one judgement of a save, made once and shared by the dialog's error
// box, quorin-sync's exit code and lines and the save's record, so that they
// never disagree: what a save came to as a whole, where it left each
// service, and why each failed call failed, in words.
#pragma once

#include "driver_parameter_store.h"
#include "exit_codes.h"
#include "status_text.h"

#include <array>
#include <cstddef>

enum class SaveOutcome : std::uint8_t {
    AllWritten,       // every service holds the new settings
    RefusedForRights, // no value was changed, and every refusal was access
                      // denied: the same save with administrator rights may
                      // pass (an empty key made for it may have been left)
    Refused,          // nothing was written, for another reason than rights alone
    PartlyWritten,    // some services were written and others were not
};

// A refusal for want of rights alone is one where no value changed and
// every refusing service said access denied. A save refused by one
// service for rights and by another for any other reason is Refused: rights
// alone would not make it pass.
SaveOutcome JudgeSave(const SaveResult& saved);

// How many services a save left in `state`.
std::size_t CountInState(const SaveResult& saved, ServiceSaveState state);

// The exit code of quorin-sync set for a save that came to `outcome`.
CliExitCode SaveExitCode(SaveOutcome outcome);

// A status in the system's words as `system` gives them, or "error N" when
// it has none.
StatusText SystemStatusText(const RegistryAccess& system, RegStatus status);

// Why a registry call of a save failed, in words: access denied as the need
// for administrator rights, any other code as SystemStatusText tells it.
StatusText SaveStatusText(const RegistryAccess& system, RegStatus status);

// A save as judged, the only judgement there is of it.
struct SaveReport {
    SaveOutcome outcome;
    SaveResult services; // where the save left each service, and why
    // For each service, why its failed call failed (SaveStatusText); empty
    // where no call failed.
    std::array<StatusText, kDriverServiceCount> reasons;
    // Some service was left with an empty key made for the save, so "nothing
    // was changed" would not be true, though no value was.
    bool keyLeft;
};

// Judges a save's per-service results, with the reasons told by `system`,
// the registry the save went to.
SaveReport ReportSave(const RegistryAccess& system, const SaveResult& saved);
