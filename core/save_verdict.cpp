// The judgement of a save from its per-service results.
#include "save_verdict.h"

namespace {

const char kAccessDeniedText[] = "access denied; changing it needs administrator rights";

} // namespace

std::size_t CountInState(const SaveResult& saved, ServiceSaveState state)
{
    std::size_t count = 0;
    for (const ServiceSaveStatus& service : saved) {
        count += service.state == state ? 1 : 0;
    }
    return count;
}

SaveOutcome JudgeSave(const SaveResult& saved)
{
    if (AllWritten(saved)) {
        return SaveOutcome::AllWritten;
    }
    if (!SaveRefused(saved)) {
        return SaveOutcome::PartlyWritten;
    }
    for (const ServiceSaveStatus& service : saved) {
        // A key made for the save and left behind holds no value: the same
        // save with administrator rights writes it too.
        const bool deniedOrUntouched =
            (service.state == ServiceSaveState::Refused && service.status == kErrorAccessDenied) ||
            (service.state == ServiceSaveState::Unchanged && service.status == kErrorSuccess) ||
            service.state == ServiceSaveState::EmptyKeyLeft ||
            service.state == ServiceSaveState::EmptyServiceKeyLeft;
        if (!deniedOrUntouched) {
            return SaveOutcome::Refused;
        }
    }
    return SaveOutcome::RefusedForRights;
}

CliExitCode SaveExitCode(SaveOutcome outcome)
{
    switch (outcome) {
    case SaveOutcome::AllWritten: return kExitOk;
    case SaveOutcome::RefusedForRights: return kExitAccessDenied;
    case SaveOutcome::Refused:
    case SaveOutcome::PartlyWritten: return kExitFailed;
    }
    return kExitFailed;
}

StatusText SystemStatusText(const RegistryAccess& system, RegStatus status)
{
    StatusText words = system.SystemText(status);
    if (words.text[0] == '\0') {
        AppendStatusText(words, "error ");
        AppendStatusNumber(words, status);
    }
    return words;
}

StatusText SaveStatusText(const RegistryAccess& system, RegStatus status)
{
    if (status == kErrorAccessDenied) {
        StatusText words{};
        AppendStatusText(words, kAccessDeniedText);
        return words;
    }
    return SystemStatusText(system, status);
}

SaveReport ReportSave(const RegistryAccess& system, const SaveResult& saved)
{
    SaveReport report{JudgeSave(saved), saved, {}, false};
    for (std::size_t row = 0; row < kDriverServiceCount; ++row) {
        const ServiceSaveStatus& service = saved[row];
        if (service.status != kErrorSuccess) {
            report.reasons[row] = SaveStatusText(system, service.status);
        }
        report.keyLeft = report.keyLeft || service.state == ServiceSaveState::EmptyKeyLeft ||
                         service.state == ServiceSaveState::EmptyServiceKeyLeft;
    }
    return report;
}
