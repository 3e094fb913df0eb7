// Builds the error boxes' texts from a save's report, the judgement that
// quorin-sync's lines come from too, and from how a save as administrator
// went.
#include "save_failure_message.h"

namespace {

const char kTryAgainText[] = "\nPress OK to try again.";
const char kMayBePartlySavedText[] =
    "Some driver services may hold the new settings and others their old ones; \"quorin-sync "
    "show\" tells which.\n";

// The services in `state`, comma-separated, each with the reason when
// `withReason` is set.
CString ServicesIn(const SaveReport& saved, ServiceSaveState state, bool withReason)
{
    CString list;
    for (std::size_t row = 0; row < kDriverServiceCount; ++row) {
        if (saved.services[row].state != state) {
            continue;
        }
        if (!list.IsEmpty()) {
            list += ", ";
        }
        list += DriverServiceList[row].name;
        if (withReason && saved.reasons[row].text[0] != '\0') {
            list += " (";
            list += saved.reasons[row].text;
            list += ")";
        }
    }
    return list;
}

// The services left with an empty key made for the save, with the reason.
CString ServicesWithKeyLeft(const SaveReport& saved)
{
    CString list = ServicesIn(saved, ServiceSaveState::EmptyKeyLeft, true);
    const CString serviceKeys = ServicesIn(saved, ServiceSaveState::EmptyServiceKeyLeft, true);
    if (!list.IsEmpty() && !serviceKeys.IsEmpty()) {
        list += ", ";
    }
    list += serviceKeys;
    return list;
}

void AppendGroup(CString& message, const char* heading, const CString& services)
{
    if (services.IsEmpty()) {
        return;
    }
    message += heading;
    message += services;
    message += ".\n";
}

CString RefusedMessage(const SaveReport& saved)
{
    const bool keyLeft = saved.keyLeft;
    CString message;
    message.Format("%s: %u of the %u driver services refused the change, so no settings were "
                   "written to any of them.\n\n",
                   keyLeft ? "Nothing was saved" : "Nothing was saved and nothing was changed",
                   static_cast<unsigned>(CountInState(saved.services, ServiceSaveState::Refused)),
                   static_cast<unsigned>(kDriverServiceCount));
    for (std::size_t row = 0; row < kDriverServiceCount; ++row) {
        if (saved.services[row].state == ServiceSaveState::Refused) {
            message += DriverServiceList[row].name;
            message += ": ";
            message += saved.reasons[row].text;
            message += ".\n";
        }
    }
    AppendGroup(message, "\nAn empty key made during the attempt could not be removed again for: ",
                ServicesWithKeyLeft(saved));
    return message;
}

CString PartlyWrittenMessage(const SaveReport& saved)
{
    CString message;
    message.Format("The settings were only partly saved: %u of the %u driver services could not "
                   "be written.\n\n",
                   static_cast<unsigned>(kDriverServiceCount -
                                         CountInState(saved.services, ServiceSaveState::Written)),
                   static_cast<unsigned>(kDriverServiceCount));
    AppendGroup(message, "Holding the new settings: ",
                ServicesIn(saved, ServiceSaveState::Written, false));
    AppendGroup(message, "Still holding their old settings: ",
                ServicesIn(saved, ServiceSaveState::Unchanged, true));
    AppendGroup(message, "Holding the new synchronization mode but the old frames number: ",
                ServicesIn(saved, ServiceSaveState::ModeOnly, true));
    AppendGroup(message, "Left with an empty key that could not be removed again: ",
                ServicesWithKeyLeft(saved));
    return message;
}

} // namespace

CString SaveFailureMessage(const SaveReport& saved, bool offerElevatedSave)
{
    const SaveOutcome outcome = saved.outcome;
    CString message =
        outcome == SaveOutcome::PartlyWritten ? PartlyWrittenMessage(saved) : RefusedMessage(saved);
    if (outcome != SaveOutcome::RefusedForRights) {
        message += kTryAgainText;
    } else if (offerElevatedSave) {
        message += "\nSave these settings as administrator now? Windows will ask for an "
                   "administrator's permission.";
    } else {
        message += "\nStart Quorin Sync Options as administrator and press OK again. Only the "
                   "installed program, started from its own folder, offers to save as "
                   "administrator.";
    }
    return message;
}

CString ElevatedSaveFailureMessage(const ElevatedSaveRun& run, const char* notStartedReason)
{
    CString message;
    switch (run.result) {
    case ElevatedSaveRun::Result::Declined:
        message = "Nothing was saved and nothing was changed: the request to save as "
                  "administrator was declined.\n";
        break;
    case ElevatedSaveRun::Result::NotStarted:
        message.Format("Nothing was saved and nothing was changed: quorin-sync.exe could not be "
                       "started as administrator (%s).\n",
                       notStartedReason);
        break;
    case ElevatedSaveRun::Result::EndUnknown:
        message = "quorin-sync.exe was started as administrator, but how it ended could not be "
                  "read, so whether it saved is not known. ";
        message += kMayBePartlySavedText;
        break;
    case ElevatedSaveRun::Result::Finished:
        if (run.exitCode == static_cast<DWORD>(kExitAccessDenied)) {
            message.Format("Nothing was saved and nothing was changed: even as administrator, a "
                           "driver service refused the change for want of rights (quorin-sync.exe "
                           "exit code %d). The permissions of its key deny it to administrators "
                           "too.\n",
                           static_cast<int>(kExitAccessDenied));
        } else if (run.exitCode == static_cast<DWORD>(kExitBusy)) {
            message.Format("Nothing was saved and nothing was changed: as administrator, "
                           "quorin-sync.exe found another save of these settings in progress "
                           "(quorin-sync.exe exit code %d).\n",
                           static_cast<int>(kExitBusy));
        } else if (run.exitCode == static_cast<DWORD>(kExitFailed)) {
            message.Format("The save failed even as administrator (quorin-sync.exe exit code %d: a "
                           "failure other than a refusal for rights). ",
                           static_cast<int>(kExitFailed));
            message += kMayBePartlySavedText;
        } else {
            message.Format("The save as administrator did not report success (quorin-sync.exe "
                           "exit code %lu). ",
                           static_cast<unsigned long>(run.exitCode));
            message += kMayBePartlySavedText;
        }
        break;
    }
    message += kTryAgainText;
    return message;
}

CString ElevatedSaveUnconfirmedMessage(const ServicesHolding& holding)
{
    CString services;
    for (std::size_t row = 0; row < kDriverServiceCount; ++row) {
        if (holding[row]) {
            continue;
        }
        if (!services.IsEmpty()) {
            services += ", ";
        }
        services += DriverServiceList[row].name;
    }
    CString message = "quorin-sync.exe reported that the save as administrator succeeded, but "
                      "these driver services do not hold the new settings: ";
    message += services;
    message += ".\n";
    message += kMayBePartlySavedText;
    message += kTryAgainText;
    return message;
}
