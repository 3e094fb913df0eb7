// The one judgement of a save, shared by the dialog's error box and
// quorin-sync's exit code and lines, so that the two never disagree: what a
// save came to as a whole, and how a registry status is told in words.
#pragma once

#include "driver_parameter_store.h"
#include "exit_codes.h"

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

// A status told in words, held in place: the dialog links no string
// library for it (its size is a goal).
inline constexpr std::size_t kStatusTextSize = 512;
struct StatusText {
    char text[kStatusTextSize]; // empty when there is nothing to tell
};

// Appends to a status text what fits of `text`, or of a number in decimal
// (without the C library's formatting, which would bring its own printf).
void AppendStatusText(StatusText& words, const char* text);
void AppendStatusNumber(StatusText& words, long long number);

// The system's own text for a status code, given by the platform's side.
using SystemStatusText = StatusText (*)(RegStatus status);

// Why a registry call failed, in words: access denied as the need for
// administrator rights, any other code by `systemText` (or its number alone
// when there is none).
StatusText SaveStatusText(RegStatus status, SystemStatusText systemText);
