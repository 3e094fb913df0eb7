// The judgement of a save from its per-service results.
#include "save_verdict.h"

#include <cstring>

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

void AppendStatusText(StatusText& words, const char* text)
{
    std::size_t end = std::strlen(words.text);
    while (*text != '\0' && end + 1 < kStatusTextSize) {
        words.text[end++] = *text++;
    }
    words.text[end] = '\0';
}

void AppendStatusNumber(StatusText& words, long long number)
{
    // Digits from the last, in a buffer wide enough for any 64-bit number.
    char digits[24] = {};
    std::size_t first = sizeof digits - 1;
    const bool negative = number < 0;
    unsigned long long magnitude = negative ? 0ULL - static_cast<unsigned long long>(number)
                                            : static_cast<unsigned long long>(number);
    do {
        digits[--first] = static_cast<char>('0' + magnitude % 10);
        magnitude /= 10;
    } while (magnitude != 0);
    if (negative) {
        digits[--first] = '-';
    }
    AppendStatusText(words, digits + first);
}

StatusText SaveStatusText(RegStatus status, SystemStatusText systemText)
{
    StatusText words{};
    if (status == kErrorAccessDenied) {
        AppendStatusText(words, kAccessDeniedText);
        return words;
    }
    if (systemText != nullptr) {
        words = systemText(status);
    }
    if (words.text[0] == '\0') {
        AppendStatusText(words, "error ");
        AppendStatusNumber(words, status);
    }
    return words;
}
