// Running one quorin-sync command: the store does the reading and writing,
// this file the words, the JSON and the exit codes.
#include "quorin_sync_cli.h"

#include "cli_arguments.h"
#include "driver_parameter_store.h"
#include "sync_settings.h"
#include "version.h"

#include <array>
#include <cstdint>

namespace {

using Readings = std::array<ServiceReading, kDriverServiceCount>;

std::string Number(long long value)
{
    return std::to_string(value);
}

std::string ModeText(std::uint32_t mode)
{
    return Number(mode) + " (" + SynchModeWord(mode) + ")";
}

bool Holds(const ServiceReading& reading, std::uint32_t mode, std::int32_t framesNumber)
{
    return reading.found && reading.modeRead && reading.framesRead && reading.mode == mode &&
           reading.framesNumber == framesNumber;
}

// All eight present with both values read and the same two values.
bool AllAgree(const Readings& readings)
{
    for (const ServiceReading& reading : readings) {
        if (!Holds(reading, readings[0].mode, readings[0].framesNumber)) {
            return false;
        }
    }
    return true;
}

Readings ReadAll(const DriverParameterStore& store)
{
    Readings readings{};
    for (std::size_t row = 0; row < kDriverServiceCount; ++row) {
        readings[row] = store.ReadService(row);
    }
    return readings;
}

std::string Padded(const std::string& text, std::size_t width)
{
    return text.size() >= width ? text + " " : text + std::string(width - text.size(), ' ');
}

std::string ShowText(const Readings& readings)
{
    std::string text = Padded("service", 11) + Padded("present", 9) + Padded("mode", 16) + "frames\n";
    for (std::size_t row = 0; row < kDriverServiceCount; ++row) {
        const ServiceReading& reading = readings[row];
        text += Padded(DriverServiceList[row].name, 11);
        if (!reading.found) {
            text += Padded("no", 9) + Padded("-", 16) + "-\n";
            continue;
        }
        text += Padded("yes", 9);
        text += Padded(reading.modeRead ? ModeText(reading.mode) : "not set", 16);
        text += (reading.framesRead ? Number(reading.framesNumber) : "not set") + "\n";
    }
    if (AllAgree(readings)) {
        text += "All eight services agree: mode " + ModeText(readings[0].mode) + ", frames " +
                Number(readings[0].framesNumber) + ".\n";
    } else {
        text += "The eight services do not agree.\n";
    }
    return text;
}

std::string JsonString(const char* text)
{
    // The names and words written here hold no character that needs escaping.
    return std::string("\"") + text + "\"";
}

std::string ShowJson(const Readings& readings)
{
    std::string json = "{\"services\": [";
    for (std::size_t row = 0; row < kDriverServiceCount; ++row) {
        const ServiceReading& reading = readings[row];
        json += row == 0 ? "\n  " : ",\n  ";
        json += "{\"name\": " + JsonString(DriverServiceList[row].name);
        json += ", \"present\": " + std::string(reading.found ? "true" : "false");
        const bool mode = reading.found && reading.modeRead;
        const bool frames = reading.found && reading.framesRead;
        json += ", \"mode\": " + (mode ? Number(reading.mode) : "null");
        json += ", \"meaning\": " + (mode ? JsonString(SynchModeWord(reading.mode)) : "null");
        json += ", \"frames\": " + (frames ? Number(reading.framesNumber) : "null") + "}";
    }
    const bool agree = AllAgree(readings);
    json += "\n], \"agree\": " + std::string(agree ? "true" : "false");
    json += ", \"mode\": " + (agree ? Number(readings[0].mode) : "null");
    json += ", \"meaning\": " + (agree ? JsonString(SynchModeWord(readings[0].mode)) : "null");
    json += ", \"frames\": " + (agree ? Number(readings[0].framesNumber) : "null") + "}\n";
    return json;
}

int Check(const DriverParameterStore& store, const CliArguments& wanted, CliOutput& output)
{
    const Readings readings = ReadAll(store);
    std::string differences;
    for (std::size_t row = 0; row < kDriverServiceCount; ++row) {
        const ServiceReading& reading = readings[row];
        const std::string name = DriverServiceList[row].name;
        if (!reading.found) {
            differences += name + ": no Parameters key\n";
            continue;
        }
        if (!reading.modeRead) {
            differences += name + ": mode not set, expected " + ModeText(wanted.mode) + "\n";
        } else if (reading.mode != wanted.mode) {
            differences += name + ": mode " + ModeText(reading.mode) + ", expected " +
                           ModeText(wanted.mode) + "\n";
        }
        if (!reading.framesRead) {
            differences += name + ": frames not set, expected " + Number(wanted.framesNumber) + "\n";
        } else if (reading.framesNumber != wanted.framesNumber) {
            differences += name + ": frames " + Number(reading.framesNumber) + ", expected " +
                           Number(wanted.framesNumber) + "\n";
        }
    }
    if (!differences.empty()) {
        output.out += differences;
        return kExitDiffers;
    }
    output.out += "All eight services hold mode " + ModeText(wanted.mode) + ", frames " +
                  Number(wanted.framesNumber) + ".\n";
    return kExitOk;
}

std::string Where(ServiceSaveState state)
{
    switch (state) {
    case ServiceSaveState::Written: return "written";
    case ServiceSaveState::Refused: return "refused";
    case ServiceSaveState::Unchanged: return "unchanged";
    case ServiceSaveState::ModeOnly: return "new mode, old frames number";
    case ServiceSaveState::EmptyKeyLeft: return "an empty key made for it was left";
    }
    return "?";
}

int Set(const DriverParameterStore& store, const CliArguments& wanted, CliOutput& output,
        SystemStatusText systemText)
{
    const SaveResult saved = store.Save(wanted.mode, wanted.framesNumber);
    const SaveOutcome outcome = JudgeSave(saved);
    if (outcome == SaveOutcome::AllWritten) {
        output.out += "Set all eight services to mode " + ModeText(wanted.mode) + ", frames " +
                      Number(wanted.framesNumber) + ".\n";
        return kExitOk;
    }
    for (std::size_t row = 0; row < kDriverServiceCount; ++row) {
        const ServiceSaveStatus& service = saved[row];
        std::string line = std::string(DriverServiceList[row].name) + ": " + Where(service.state);
        if (service.status != kErrorSuccess) {
            line += ": " + SaveStatusText(service.status, systemText);
        }
        output.err += line + "\n";
    }
    switch (outcome) {
    case SaveOutcome::RefusedForRights:
        output.err += "Nothing was changed: changing these settings needs administrator rights.\n";
        break;
    case SaveOutcome::Refused:
        output.err += "Nothing was saved.\n";
        break;
    default:
        output.err += "The settings were only partly saved.\n";
        break;
    }
    return SaveExitCode(outcome);
}

} // namespace

int RunCli(const std::vector<std::string>& args, RegistryAccess& registry, CliOutput& output,
           SystemStatusText systemText)
{
    const CliParse parsed = ParseCliArguments(args);
    if (!parsed.ok) {
        output.err += "quorin-sync: " + parsed.error + "\n\n" + kCliUsage;
        return kExitUsage;
    }
    const CliArguments& arguments = parsed.arguments;
    const DriverParameterStore store(registry);
    switch (arguments.action) {
    case CliAction::Help:
        output.out += kCliUsage;
        return kExitOk;
    case CliAction::Version:
        output.out += "quorin-sync " QUORIN_VERSION_TEXT "\n";
        return kExitOk;
    case CliAction::Show: {
        const Readings readings = ReadAll(store);
        output.out += arguments.json ? ShowJson(readings) : ShowText(readings);
        return kExitOk;
    }
    case CliAction::Check:
        return Check(store, arguments, output);
    case CliAction::Set:
        return Set(store, arguments, output, systemText);
    }
    return kExitUsage;
}
