// Who saves, read from the process token, and ReportEvent.
#include "win32_event_log.h"

#include <windows.h>
#include <sddl.h>

namespace {

static_assert(kMaxSidSize == SECURITY_MAX_SID_SIZE, "room for any SID");

constexpr int kNameLength = 256;

WORD EventType(RecordType type)
{
    switch (type) {
    case RecordType::Information: return EVENTLOG_INFORMATION_TYPE;
    case RecordType::Warning: return EVENTLOG_WARNING_TYPE;
    case RecordType::Error: return EVENTLOG_ERROR_TYPE;
    }
    return EVENTLOG_ERROR_TYPE;
}

// Wide text as UTF-8 into a fixed buffer, cut short at a whole character.
void ToUtf8(const wchar_t* text, char* buffer, std::size_t size)
{
    const int written = ::WideCharToMultiByte(CP_UTF8, 0, text, -1, buffer,
                                              static_cast<int>(size), nullptr, nullptr);
    if (written == 0) {
        buffer[0] = '\0';
    }
}

} // namespace

void Win32EventLogTrail::ReadActor()
{
    m_read = true;
    wchar_t path[kActorTextSize] = {};
    const DWORD length = ::GetModuleFileNameW(nullptr, path, kActorTextSize);
    ToUtf8(length > 0 && length < kActorTextSize ? path : L"?", m_program, sizeof m_program);
    ToUtf8(L"?", m_user, sizeof m_user);

    HANDLE hToken = nullptr;
    if (!::OpenProcessToken(::GetCurrentProcess(), TOKEN_QUERY, &hToken)) {
        return;
    }
    TOKEN_ELEVATION elevation = {};
    DWORD size = 0;
    m_elevated = ::GetTokenInformation(hToken, TokenElevation, &elevation, sizeof elevation,
                                       &size) &&
                 elevation.TokenIsElevated != 0;
    // TOKEN_USER and the SID it points to, which follows it.
    alignas(TOKEN_USER) unsigned char tokenUser[sizeof(TOKEN_USER) + SECURITY_MAX_SID_SIZE] = {};
    if (::GetTokenInformation(hToken, TokenUser, tokenUser, sizeof tokenUser, &size) &&
        ::CopySid(sizeof m_sid, m_sid, reinterpret_cast<TOKEN_USER*>(tokenUser)->User.Sid)) {
        m_hasSid = true;
        wchar_t name[kNameLength] = {};
        wchar_t domain[kNameLength] = {};
        DWORD nameLength = kNameLength;
        DWORD domainLength = kNameLength;
        SID_NAME_USE use = SidTypeUnknown;
        LPWSTR pszSidText = nullptr;
        if (::LookupAccountSidW(nullptr, m_sid, name, &nameLength, domain, &domainLength, &use)) {
            // DOMAIN\name, as Windows writes an account.
            wchar_t account[2 * kNameLength + 2] = {};
            ::lstrcpynW(account, domain, kNameLength);
            ::lstrcatW(account, L"\\");
            ::lstrcatW(account, name);
            ToUtf8(account, m_user, sizeof m_user);
        } else if (::ConvertSidToStringSidW(m_sid, &pszSidText)) {
            // An account that no longer resolves is still named by its SID.
            ToUtf8(pszSidText, m_user, sizeof m_user);
            ::LocalFree(pszSidText);
        }
    }
    ::CloseHandle(hToken);
}

SaveActor Win32EventLogTrail::Actor()
{
    if (!m_read) {
        ReadActor();
    }
    return SaveActor{m_user, m_program, m_elevated};
}

RegStatus Win32EventLogTrail::Write(const SaveRecord& record)
{
    if (!m_read) {
        ReadActor();
    }
    wchar_t texts[kSaveRecordStringCount][kStatusTextSize];
    LPCWSTR strings[kSaveRecordStringCount] = {};
    for (std::size_t i = 0; i < kSaveRecordStringCount; ++i) {
        if (::MultiByteToWideChar(CP_UTF8, 0, record.strings[i].text, -1, texts[i],
                                  kStatusTextSize) == 0) {
            texts[i][0] = L'\0';
        }
        strings[i] = texts[i];
    }
    HANDLE hLog = ::RegisterEventSourceW(nullptr, kEventSourceName);
    if (hLog == nullptr) {
        return static_cast<RegStatus>(::GetLastError());
    }
    const BOOL reported = ::ReportEventW(hLog, EventType(record.type), 0, record.eventId,
                                         m_hasSid ? m_sid : nullptr, kSaveRecordStringCount, 0,
                                         strings, nullptr);
    const RegStatus status = reported ? kErrorSuccess : static_cast<RegStatus>(::GetLastError());
    ::DeregisterEventSource(hLog);
    return status;
}
