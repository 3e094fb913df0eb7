// The command line of quorin-sync, parsed: a command, and the settings that
// check and set take.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

enum class CliAction { Show, Check, Set, Help, Version };

struct CliArguments {
    CliAction action;
    bool json;                 // show --json
    std::uint32_t mode;        // check, set: the stored "External synch mode"
    std::int32_t framesNumber; // check, set
};

struct CliParse {
    bool ok;
    CliArguments arguments;
    std::string error; // what is wrong, when not ok
};

CliParse ParseCliArguments(const std::vector<std::string>& args);

std::string CliUsage();
