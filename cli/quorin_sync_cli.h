// quorin-sync, the console companion of the dialog for scripts and
// deployment tools: show, check and set the two values of the eight driver
// services, with exit codes. Platform-neutral: the program's main gives it
// the arguments, the registry and where the text goes.
#pragma once

#include "exit_codes.h"
#include "registry_access.h"

#include <string>
#include <vector>

struct CliOutput {
    std::string out; // for stdout
    std::string err; // for stderr
};

class SaveLock;
class SaveTrail;

// Runs one command line (without the program name) over the registry,
// which also gives the system's words for a failed call's status; `lock`,
// when given, is held for the whole of a set, and `trail` records it.
int RunCli(const std::vector<std::string>& args, RegistryAccess& registry, CliOutput& output,
           SaveLock* lock = nullptr, SaveTrail* trail = nullptr);
