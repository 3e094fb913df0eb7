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
        const bool deniedOrUntouched =
            (service.state == ServiceSaveState::Refused && service.status == kErrorAccessDenied) ||
            (service.state == ServiceSaveState::Unchanged && service.status == kErrorSuccess);
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

std::string SaveStatusText(RegStatus status, SystemStatusText systemText)
{
    if (status == kErrorAccessDenied) {
        return kAccessDeniedText;
    }
    const std::string text = systemText != nullptr ? systemText(status) : std::string();
    return text.empty() ? "error " + std::to_string(status) : text;
}
