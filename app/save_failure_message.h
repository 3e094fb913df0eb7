// The text of the error box shown when a save did not write every driver
// service: which services refused or failed and why, and where that left
// each of them.
#pragma once

#include <afxwin.h>

#include "driver_parameter_store.h"

CString SaveFailureMessage(const SaveResult& saved);

// Why a registry call failed, in words: access denied is told as the need
// for administrator rights, any other code by the system's own text for it.
CString RegistryStatusText(RegStatus status);
