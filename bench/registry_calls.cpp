// The registry calls a load and a save make, counted through the registry
// interface, beside the least the walks need.
#include "driver_parameter_store.h"
#include "memory_registry.h"
#include "seed_service.h"
#include "sync_settings.h"

#include <cstdio>

namespace {

void Seed(MemoryRegistry& registry, std::size_t row)
{
    SeedService(registry, row, 2, 5);
}

void Print(const char* scenario, const MemoryRegistry& registry, std::size_t least)
{
    const std::size_t calls = registry.Calls().size();
    std::printf("%s calls=%zu open=%zu create=%zu query=%zu set=%zu close=%zu least=%zu\n",
                scenario, calls, registry.CountCalls(RegOperation::OpenKey),
                registry.CountCalls(RegOperation::CreateKey),
                registry.CountCalls(RegOperation::QueryValue),
                registry.CountCalls(RegOperation::SetValue),
                registry.CountCalls(RegOperation::CloseKey), least);
}

} // namespace

int main()
{
    {
        MemoryRegistry registry;
        Seed(registry, 0);
        DriverParameterStore(registry).Load();
        Print("load-row-1", registry, 4); // open, two queries, close
    }
    {
        MemoryRegistry registry;
        Seed(registry, 3);
        DriverParameterStore(registry).Load();
        Print("load-row-4", registry, 7); // four opens, two queries, close
    }
    {
        MemoryRegistry registry;
        DriverParameterStore(registry).Load();
        Print("load-none", registry, 8); // eight opens
    }
    {
        MemoryRegistry registry;
        DriverParameterStore(registry).Save(4, 3);
        // Eight creates; the old values for the record, read apart so that
        // the save asks for no right beyond setting values (eight opens,
        // sixteen queries, eight closes); sixteen sets, eight closes.
        Print("save", registry, 64);
    }
    return 0;
}
