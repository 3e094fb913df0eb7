// A save lock that is free or held by another save, as a test says, and
// that notes where in a registry's calls it was taken and let go.
#pragma once

#include "memory_registry.h"
#include "save_lock.h"

#include <cstddef>

class FakeSaveLock final : public SaveLock {
public:
    explicit FakeSaveLock(const MemoryRegistry& registry) : m_registry(registry) {}

    bool heldElsewhere = false;
    int acquired = 0;
    int released = 0;
    std::size_t callsWhenAcquired = 0;
    std::size_t callsWhenReleased = 0;

    bool Acquire() override
    {
        if (heldElsewhere) {
            return false;
        }
        ++acquired;
        callsWhenAcquired = m_registry.Calls().size();
        return true;
    }

    void Release() override
    {
        ++released;
        callsWhenReleased = m_registry.Calls().size();
    }

private:
    const MemoryRegistry& m_registry;
};
