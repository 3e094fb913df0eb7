// Identifiers the framework itself defines.
#pragma once

#ifndef ID_HELP
#define ID_HELP 0xE146
#endif
