// quorin-sync, the console companion of the dialog for scripts and
// deployment tools: show, check and set the two values of the eight driver
// services, with exit codes. Platform-neutral: the program's main gives it
// the arguments, the registry and where the text goes.
#pragma once

#include "registry_access.h"

#include <string>
#include <vector>

enum CliExitCode : int {
    kExitOk = 0,           // done; for check: every service holds the settings
    kExitDiffers = 1,      // check: some service differs
    kExitUsage = 2,        // the command line is not understood
    kExitFailed = 3,       // set: failed in any other way, a partial save included
    kExitAccessDenied = 4, // set: refused for want of rights, nothing changed
};

struct CliOutput {
    std::string out; // for stdout
    std::string err; // for stderr
};

// Words for a registry status that is not access denied ("error N" when
// null).
using StatusTextFunction = std::string (*)(RegStatus status);

// Runs one command line (without the program name) over the registry.
int RunCli(const std::vector<std::string>& args, RegistryAccess& registry, CliOutput& output,
           StatusTextFunction statusText = nullptr);
