// The system's own words for a Win32 status code. Windows builds only.
#pragma once

#include "registry_access.h"

// The system's text for a Win32 status code, without its closing full stop,
// followed by ", error N"; empty when the system has no text for it.
StatusText Win32StatusText(RegStatus status);
