// Builds the error box's text from a save's per-service results.
#include "save_failure_message.h"

namespace {

const char kAccessDeniedText[] = "access denied; changing it needs administrator rights";

// The services in `state`, comma-separated, each with the reason when
// `withReason` is set.
CString ServicesIn(const SaveResult& saved, ServiceSaveState state, bool withReason)
{
    CString list;
    for (std::size_t row = 0; row < kDriverServiceCount; ++row) {
        if (saved[row].state != state) {
            continue;
        }
        if (!list.IsEmpty()) {
            list += ", ";
        }
        list += DriverServiceList[row].name;
        if (withReason && saved[row].status != kErrorSuccess) {
            list += " (";
            list += RegistryStatusText(saved[row].status);
            list += ")";
        }
    }
    return list;
}

std::size_t CountIn(const SaveResult& saved, ServiceSaveState state)
{
    std::size_t count = 0;
    for (const ServiceSaveStatus& service : saved) {
        count += service.state == state ? 1 : 0;
    }
    return count;
}

bool AnyAccessDenied(const SaveResult& saved)
{
    for (const ServiceSaveStatus& service : saved) {
        if (service.status == kErrorAccessDenied) {
            return true;
        }
    }
    return false;
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

CString RefusedMessage(const SaveResult& saved)
{
    const bool keyLeft = CountIn(saved, ServiceSaveState::EmptyKeyLeft) != 0;
    CString message;
    message.Format("%s: %u of the %u driver services refused the change, so no settings were "
                   "written to any of them.\n\n",
                   keyLeft ? "Nothing was saved" : "Nothing was saved and nothing was changed",
                   static_cast<unsigned>(CountIn(saved, ServiceSaveState::Refused)),
                   static_cast<unsigned>(kDriverServiceCount));
    for (std::size_t row = 0; row < kDriverServiceCount; ++row) {
        if (saved[row].state == ServiceSaveState::Refused) {
            message += DriverServiceList[row].name;
            message += ": ";
            message += RegistryStatusText(saved[row].status);
            message += ".\n";
        }
    }
    AppendGroup(message, "\nAn empty key made during the attempt could not be removed again for: ",
                ServicesIn(saved, ServiceSaveState::EmptyKeyLeft, true));
    return message;
}

CString PartlyWrittenMessage(const SaveResult& saved)
{
    CString message;
    message.Format("The settings were only partly saved: %u of the %u driver services could not "
                   "be written.\n\n",
                   static_cast<unsigned>(kDriverServiceCount -
                                         CountIn(saved, ServiceSaveState::Written)),
                   static_cast<unsigned>(kDriverServiceCount));
    AppendGroup(message, "Holding the new settings: ",
                ServicesIn(saved, ServiceSaveState::Written, false));
    AppendGroup(message, "Still holding their old settings: ",
                ServicesIn(saved, ServiceSaveState::Unchanged, true));
    AppendGroup(message, "Holding the new synchronization mode but the old frames number: ",
                ServicesIn(saved, ServiceSaveState::ModeOnly, true));
    AppendGroup(message, "Left with an empty key that could not be removed again: ",
                ServicesIn(saved, ServiceSaveState::EmptyKeyLeft, true));
    return message;
}

} // namespace

CString RegistryStatusText(RegStatus status)
{
    if (status == kErrorAccessDenied) {
        return kAccessDeniedText;
    }
    CString text;
    char* pszSystem = nullptr;
    const DWORD nLength = ::FormatMessageA(
        FORMAT_MESSAGE_ALLOCATE_BUFFER | FORMAT_MESSAGE_FROM_SYSTEM | FORMAT_MESSAGE_IGNORE_INSERTS,
        nullptr, static_cast<DWORD>(status), 0, reinterpret_cast<LPSTR>(&pszSystem), 0, nullptr);
    if (nLength != 0 && pszSystem != nullptr) {
        // The system's text ends with a full stop and a line break; the
        // message puts its own punctuation around it.
        DWORD nEnd = nLength;
        while (nEnd > 0 && (pszSystem[nEnd - 1] == '\r' || pszSystem[nEnd - 1] == '\n' ||
                            pszSystem[nEnd - 1] == ' ' || pszSystem[nEnd - 1] == '.')) {
            --nEnd;
        }
        pszSystem[nEnd] = '\0';
        text.Format("%s, error %ld", pszSystem, static_cast<long>(status));
    } else {
        text.Format("error %ld", static_cast<long>(status));
    }
    ::LocalFree(pszSystem);
    return text;
}

CString SaveFailureMessage(const SaveResult& saved)
{
    CString message = SaveRefused(saved) ? RefusedMessage(saved) : PartlyWrittenMessage(saved);
    message += AnyAccessDenied(saved)
                   ? "\nStart Quorin Sync Options as administrator and press OK again."
                   : "\nPress OK to try again.";
    return message;
}
