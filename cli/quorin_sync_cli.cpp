// Running one quorin-sync command: the store does the reading and writing,
// this file the words, the JSON and the exit codes.
#include "quorin_sync_cli.h"

#include "cli_arguments.h"
#include "driver_parameter_store.h"
#include "save_lock.h"
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

// All eight present with both values stored as REG_DWORD, holding the same two.
bool AllAgree(const Readings& readings)
{
    for (const ServiceReading& reading : readings) {
        if (!HoldsSettings(reading, readings[0].mode, readings[0].framesNumber)) {
            return false;
        }
    }
    return true;
}

std::string TypeName(std::uint32_t type)
{
    static const char* const kNames[] = {
        "REG_NONE",      "REG_SZ",        "REG_EXPAND_SZ",     "REG_BINARY",
        "REG_DWORD",     "REG_DWORD_BIG_ENDIAN", "REG_LINK",   "REG_MULTI_SZ",
        "REG_RESOURCE_LIST", "REG_FULL_RESOURCE_DESCRIPTOR", "REG_RESOURCE_REQUIREMENTS_LIST",
        "REG_QWORD"};
    constexpr std::uint32_t kNamed = sizeof kNames / sizeof kNames[0];
    return type < kNamed ? kNames[type] : "type " + Number(type);
}

// A value that is there but not what a driver reads as a number, named by
// how it is stored; empty for a REG_DWORD of four bytes or a missing value.
std::string MisstoredText(const StoredShape& shape)
{
    if (!shape.present || IsStoredDword(shape)) {
        return std::string();
    }
    return TypeName(shape.type) + ", " + Number(shape.size) + (shape.size == 1 ? " byte" : " bytes");
}

// How show and check tell one value: its number, how it is wrongly stored,
// or that it is not set.
std::string ValueText(bool read, const StoredShape& shape, const std::string& number)
{
    std::string misstored = MisstoredText(shape);
    if (!misstored.empty()) {
        return misstored;
    }
    return read ? number : "not set";
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
        text += Padded(ValueText(reading.modeRead, reading.modeShape, ModeText(reading.mode)), 16);
        text += ValueText(reading.framesRead, reading.framesShape, Number(reading.framesNumber)) +
                "\n";
    }
    if (AllAgree(readings)) {
        text += "All eight services agree: mode " + ModeText(readings[0].mode) + ", frames " +
                Number(readings[0].framesNumber) + ".\n";
    } else {
        text += "The eight services do not agree.\n";
    }
    return text;
}

std::string JsonString(const std::string& text)
{
    // The names and words written here hold no character that needs escaping.
    return "\"" + text + "\"";
}

// null, or how a value is stored when that is not as a REG_DWORD of four bytes.
std::string JsonMisstored(const StoredShape& shape)
{
    const std::string misstored = MisstoredText(shape);
    return misstored.empty() ? "null" : JsonString(misstored);
}

std::string ShowJson(const Readings& readings)
{
    std::string json = "{\"services\": [";
    for (std::size_t row = 0; row < kDriverServiceCount; ++row) {
        const ServiceReading& reading = readings[row];
        json += row == 0 ? "\n  " : ",\n  ";
        json += "{\"name\": " + JsonString(DriverServiceList[row].name);
        json += ", \"present\": " + std::string(reading.found ? "true" : "false");
        // A number only where the driver reads one.
        const bool mode = IsStoredDword(reading.modeShape);
        const bool frames = IsStoredDword(reading.framesShape);
        json += ", \"mode\": " + (mode ? Number(reading.mode) : "null");
        json += ", \"meaning\": " + (mode ? JsonString(SynchModeWord(reading.mode)) : "null");
        json += ", \"frames\": " + (frames ? Number(reading.framesNumber) : "null");
        json += ", \"mode_stored_as\": " + JsonMisstored(reading.modeShape);
        json += ", \"frames_stored_as\": " + JsonMisstored(reading.framesShape) + "}";
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
        // A value counts only as the driver reads it: a REG_DWORD of four bytes.
        if (!IsStoredDword(reading.modeShape) || reading.mode != wanted.mode) {
            differences += name + ": mode " +
                           ValueText(reading.modeRead, reading.modeShape, ModeText(reading.mode)) +
                           ", expected " + ModeText(wanted.mode) + "\n";
        }
        if (!IsStoredDword(reading.framesShape) || reading.framesNumber != wanted.framesNumber) {
            differences += name + ": frames " +
                           ValueText(reading.framesRead, reading.framesShape,
                                     Number(reading.framesNumber)) +
                           ", expected " + Number(wanted.framesNumber) + "\n";
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
    case ServiceSaveState::EmptyServiceKeyLeft: return "an empty service key made for it was left";
    }
    return "?";
}

// A save that happened is not undone by a record that could not be kept,
// nor reported as failed: the line says so and the exit code stays the save's.
void TellUnrecorded(const DriverParameterStore& store, RegStatus status, CliOutput& output)
{
    if (status == kErrorSuccess) {
        return;
    }
    output.err += std::string("quorin-sync: this save is not in the event log: ") +
                  SystemStatusText(store.Registry(), status).text + "\n";
}

int Set(const DriverParameterStore& store, const CliArguments& wanted, CliOutput& output,
        SaveLock* lock, SaveTrail* trail)
{
    const LockedSave locked = SaveOneAtATime(store, lock, trail, wanted.mode, wanted.framesNumber);
    if (locked.busy) {
        output.err += "Nothing was changed: another save of these settings is in progress; try "
                      "again.\n";
        return kExitBusy;
    }
    TellUnrecorded(store, locked.recordStatus, output);
    const SaveReport& saved = locked.report;
    const SaveOutcome outcome = saved.outcome;
    if (outcome == SaveOutcome::AllWritten) {
        output.out += "Set all eight services to mode " + ModeText(wanted.mode) + ", frames " +
                      Number(wanted.framesNumber) + ".\n";
        return kExitOk;
    }
    for (std::size_t row = 0; row < kDriverServiceCount; ++row) {
        std::string line =
            std::string(DriverServiceList[row].name) + ": " + Where(saved.services[row].state);
        if (saved.reasons[row].text[0] != '\0') {
            line += std::string(": ") + saved.reasons[row].text;
        }
        output.err += line + "\n";
    }
    switch (outcome) {
    case SaveOutcome::RefusedForRights:
        output.err += std::string(saved.keyLeft ? "No value was changed" : "Nothing was changed") +
                      ": changing these settings needs administrator rights.\n";
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
           SaveLock* lock, SaveTrail* trail)
{
    const CliParse parsed = ParseCliArguments(args);
    if (!parsed.ok) {
        output.err += "quorin-sync: " + parsed.error + "\n\n" + CliUsage();
        return kExitUsage;
    }
    const CliArguments& arguments = parsed.arguments;
    const DriverParameterStore store(registry);
    switch (arguments.action) {
    case CliAction::Help:
        output.out += CliUsage();
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
        return Set(store, arguments, output, lock, trail);
    }
    return kExitUsage;
}
