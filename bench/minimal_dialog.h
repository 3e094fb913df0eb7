// Identifiers of the baseline dialog.
#pragma once

#define IDD_MINIMAL_DIALOG 100
