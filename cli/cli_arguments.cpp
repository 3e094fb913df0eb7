// Parsing quorin-sync's command line. Frames numbers are taken only as
// plain 32-bit decimals: a script's typo must not become a stored value.
#include "cli_arguments.h"

#include "exit_codes.h"
#include "sync_settings.h"

#include <cstdlib>
#include <cstring>

std::string CliUsage()
{
    const auto code = [](CliExitCode exitCode) { return std::to_string(exitCode); };
    return
    "usage: quorin-sync show [--json]\n"
    "       quorin-sync check --mode off|frame|line|scanstart --frames N\n"
    "       quorin-sync set --mode off|frame|line|scanstart --frames N\n"
    "       quorin-sync --help | --version\n"
    "\n"
    "Shows, checks or sets the external synchronization settings of the eight\n"
    "Quorin driver services, in\n"
    "HKLM\\SYSTEM\\CurrentControlSet\\services\\<service>\\Parameters.\n"
    "  show    each service's mode and frames number, and whether all agree\n"
    "  check   exit " + code(kExitOk) + " when every service holds exactly these settings, else " +
    code(kExitDiffers) + "\n"
    "  set     write them to all eight (needs administrator rights); when any\n"
    "          service refuses, nothing is changed\n"
    "  --mode  off (no external synchronization), or the input that carries\n"
    "          the signal: frame, line or scanstart\n"
    "  --frames  frames to scan after each frame synchronization pulse\n"
    "\n"
    "Exit codes: " + code(kExitOk) + " done; " + code(kExitDiffers) + " check found a difference; " +
    code(kExitUsage) + " usage error;\n" +
    code(kExitFailed) + " set failed in any other way, a partial save included;\n" +
    code(kExitAccessDenied) + " set refused for want of rights (no value was changed);\n" +
    code(kExitBusy) + " set found another save in progress for longer than it waits\n"
    "  (nothing was changed).\n"
    "When set fails, stderr names each service's state.\n";
}

namespace {

// An optional sign and decimal digits, nothing else, within 32 bits.
bool ParseStrictFrames(const std::string& text, std::int32_t* frames)
{
    std::size_t digits = 0;
    for (std::size_t i = 0; i < text.size(); ++i) {
        const char c = text[i];
        if (i == 0 && (c == '-' || c == '+')) {
            continue;
        }
        if (c < '0' || c > '9') {
            return false;
        }
        ++digits;
    }
    if (digits == 0 || digits > 11) {
        return false;
    }
    const long long value = std::strtoll(text.c_str(), nullptr, 10);
    if (value < INT32_MIN || value > INT32_MAX) {
        return false;
    }
    *frames = static_cast<std::int32_t>(value);
    return true;
}

CliParse Fail(const std::string& error)
{
    return CliParse{false, CliArguments{CliAction::Help, false, 0, 0}, error};
}

} // namespace

CliParse ParseCliArguments(const std::vector<std::string>& args)
{
    if (args.empty()) {
        return Fail("no command given");
    }
    CliArguments parsed{CliAction::Show, false, 0, 0};
    const std::string& command = args[0];
    if (command == "--help" || command == "-h" || command == "/?" || command == "help") {
        parsed.action = CliAction::Help;
    } else if (command == "--version") {
        parsed.action = CliAction::Version;
    } else if (command == "show") {
        parsed.action = CliAction::Show;
    } else if (command == "check") {
        parsed.action = CliAction::Check;
    } else if (command == "set") {
        parsed.action = CliAction::Set;
    } else {
        return Fail("unknown command \"" + command + "\"");
    }
    if ((parsed.action == CliAction::Help || parsed.action == CliAction::Version) &&
        args.size() > 1) {
        return Fail("\"" + command + "\" takes nothing after it");
    }

    bool haveMode = false;
    bool haveFrames = false;
    for (std::size_t i = 1; i < args.size(); ++i) {
        std::string option = args[i];
        std::string value;
        bool hasValue = false;
        const std::size_t equals = option.find('=');
        if (option.compare(0, 2, "--") == 0 && equals != std::string::npos) {
            value = option.substr(equals + 1);
            option.resize(equals);
            hasValue = true;
        }
        if (parsed.action == CliAction::Show && option == "--json" && !hasValue) {
            if (parsed.json) {
                return Fail("--json given twice");
            }
            parsed.json = true;
            continue;
        }
        const bool settingOption = option == "--mode" || option == "--frames";
        if (parsed.action == CliAction::Show || !settingOption) {
            return Fail("unknown option \"" + args[i] + "\" for \"" + command + "\"");
        }
        if (!hasValue) {
            if (i + 1 >= args.size()) {
                return Fail(option + " needs a value");
            }
            value = args[++i];
        }
        if (option == "--mode") {
            if (haveMode) {
                return Fail("--mode given twice");
            }
            if (!ParseSynchModeWord(value.c_str(), &parsed.mode)) {
                return Fail("unknown mode \"" + value + "\" (use off, frame, line or scanstart)");
            }
            haveMode = true;
        } else {
            if (haveFrames) {
                return Fail("--frames given twice");
            }
            if (!ParseStrictFrames(value, &parsed.framesNumber)) {
                return Fail("the frames number \"" + value +
                            "\" is not a whole number from -2147483648 to 2147483647");
            }
            haveFrames = true;
        }
    }
    if ((parsed.action == CliAction::Check || parsed.action == CliAction::Set) &&
        (!haveMode || !haveFrames)) {
        return Fail("\"" + command + "\" needs both --mode and --frames");
    }
    return CliParse{true, parsed, std::string()};
}
