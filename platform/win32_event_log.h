// The audit trail in the Application event log, under the program's own
// source, whose messages are in quorin-sync.exe. Windows builds only.
#pragma once

#include "save_record.h"

#include <cstddef>

// The source the package registers.
inline constexpr const wchar_t* kEventSourceName = L"Quorin Sync Options";

inline constexpr std::size_t kActorTextSize = 512;
// The largest SID there is (SECURITY_MAX_SID_SIZE).
inline constexpr std::size_t kMaxSidSize = 68;

class Win32EventLogTrail final : public SaveTrail {
public:
    Win32EventLogTrail() = default;
    Win32EventLogTrail(const Win32EventLogTrail&) = delete;
    Win32EventLogTrail& operator=(const Win32EventLogTrail&) = delete;

    // The account this process runs as, its program and whether it is
    // elevated, read from the process token at the first save, not at start.
    SaveActor Actor() override;
    // The record with the account's SID, so that the log's User field
    // names who saved.
    RegStatus Write(const SaveRecord& record) override;

private:
    void ReadActor();

    bool m_read = false;
    char m_user[kActorTextSize] = {};
    char m_program[kActorTextSize] = {};
    bool m_elevated = false;
    unsigned char m_sid[kMaxSidSize] = {};
    bool m_hasSid = false;
};
