// The version of both programs: their version blocks and quorin-sync
// --version. Windows Installer compares only the first three numbers, so a
// release raises one of them; the fourth stays 0 (scripts/release refuses
// anything else). Kept to plain #defines so that windres can read it.
#pragma once

#define QUORIN_VERSION_NUMBERS 1, 3, 0, 0
#define QUORIN_VERSION_TEXT "1.3.0.0"

// The main dialog's caption, with the numbering it has always shown; the
// resource script, the tests and the scripts all take it from here.
#define QUORIN_CAPTION_TEXT "Quorin Sync Options, 1.6"
