// The system's message table's text for a status code.
#include "win32_status_text.h"

#include <windows.h>

StatusText Win32StatusText(RegStatus status)
{
    StatusText words{};
    char szSystem[kStatusTextSize] = {};
    DWORD nLength = ::FormatMessageA(FORMAT_MESSAGE_FROM_SYSTEM | FORMAT_MESSAGE_IGNORE_INSERTS,
                                     nullptr, static_cast<DWORD>(status), 0, szSystem,
                                     sizeof szSystem, nullptr);
    // The system's text ends with a full stop and a line break; the callers
    // put their own punctuation around it.
    while (nLength != 0 && (szSystem[nLength - 1] == '\r' || szSystem[nLength - 1] == '\n' ||
                            szSystem[nLength - 1] == ' ' || szSystem[nLength - 1] == '.')) {
        szSystem[--nLength] = '\0';
    }
    if (nLength != 0) {
        AppendStatusText(words, szSystem);
        AppendStatusText(words, ", error ");
        AppendStatusNumber(words, status);
    }
    return words;
}
