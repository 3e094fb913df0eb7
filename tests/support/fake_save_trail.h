// A trail that keeps every record it is given, refuses to keep them when a
// test says so, and notes whether a save lock was held at each write.
#pragma once

#include "fake_save_lock.h"
#include "save_record.h"

#include <vector>

class FakeSaveTrail final : public SaveTrail {
public:
    static constexpr const char* kUser = "SCANNER12\\technician";
    static constexpr const char* kProgram = "C:\\Program Files\\Quorin Sync Options\\quorin-sync.exe";

    RegStatus failWith = kErrorSuccess;
    const FakeSaveLock* lock = nullptr;
    std::vector<SaveRecord> records;
    std::vector<bool> lockHeld;

    SaveActor Actor() override { return SaveActor{kUser, kProgram, false}; }

    RegStatus Write(const SaveRecord& record) override
    {
        records.push_back(record);
        lockHeld.push_back(lock != nullptr && lock->acquired > lock->released);
        return failWith;
    }
};
