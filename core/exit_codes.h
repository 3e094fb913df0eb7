// quorin-sync's exit codes, the one definition every message, the help and
// the dialog's reading of an elevated quorin-sync set are built from.
#pragma once

enum CliExitCode : int {
    kExitOk = 0,           // done; for check: every service holds the settings
    kExitDiffers = 1,      // check: some service differs
    kExitUsage = 2,        // the command line is not understood
    kExitFailed = 3,       // set: failed in any other way, a partial save included
    kExitAccessDenied = 4, // set: refused for want of rights, no value changed
    kExitBusy = 5,         // set: another save was in progress past the wait, nothing changed
};
