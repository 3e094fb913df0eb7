// The texts of the error boxes shown when a save did not write every driver
// service: which services refused or failed and why, where that left each
// of them, and how a save as administrator went.
#pragma once

#include <afxwin.h>

#include "driver_parameter_store.h"
#include "elevated_save.h"
#include "save_verdict.h"

#include <array>

// The box for a save that did not write every service. With
// `offerElevatedSave` (only for a refusal for want of rights alone) it ends
// by asking whether to save as administrator, as a Yes/No question.
CString SaveFailureMessage(const SaveReport& saved, bool offerElevatedSave = false);

// The box after a save as administrator that did not end with every service
// written; `notStartedReason` tells, in words, why a run never started.
CString ElevatedSaveFailureMessage(const ElevatedSaveRun& run, const char* notStartedReason);

// For each service, in the order of DriverServiceList, whether it holds
// the settings asked for.
using ServicesHolding = std::array<bool, kDriverServiceCount>;

// The box after a save as administrator that reported success, when reading
// the services again found some not holding what was asked for.
CString ElevatedSaveUnconfirmedMessage(const ServicesHolding& holding);
