// Load and Save through the store over the real registry, beside the same
// Win32 calls made directly. Prints the median time per operation of each and
// their ratios. HKEY_LOCAL_MACHINE is redirected to a scratch key for the
// whole run, so the machine's driver services are never touched.
//
// usage: registry_bench [LOADS SAVES]
#include "announce_start.h"
#include "driver_parameter_store.h"
#include "sync_settings.h"
#include "scratch_local_machine.h"
#include "win32_registry.h"

#include <windows.h>

#include "clock.h"

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <vector>

namespace {

constexpr int kDefaultLoads = 4000;
constexpr int kDefaultSaves = 1000;

// What a load from row 1 does, written directly against advapi32.
void DirectLoad()
{
    HKEY hKey = nullptr;
    if (::RegOpenKeyExA(HKEY_LOCAL_MACHINE, DriverServiceList[0].parametersKey, 0, KEY_READ,
                        &hKey) != ERROR_SUCCESS) {
        return;
    }
    for (const char* name : {kExternalSynchModeValueName, kSynchFramesNumberValueName}) {
        DWORD value = 0;
        DWORD type = 0;
        DWORD size = sizeof value;
        ::RegQueryValueExA(hKey, name, nullptr, &type, reinterpret_cast<BYTE*>(&value), &size);
    }
    ::RegCloseKey(hKey);
}

// What a save does, written directly: every key opened for setting, each
// one's old values read (for the save's record), then the values written.
void DirectSave(DWORD mode, DWORD frames)
{
    HKEY keys[kDriverServiceCount] = {};
    for (std::size_t row = 0; row < kDriverServiceCount; ++row) {
        ::RegCreateKeyExA(HKEY_LOCAL_MACHINE, DriverServiceList[row].parametersKey, 0, nullptr, 0,
                          KEY_SET_VALUE, nullptr, &keys[row], nullptr);
    }
    for (const DriverService& service : DriverServiceList) {
        HKEY hKey = nullptr;
        if (::RegOpenKeyExA(HKEY_LOCAL_MACHINE, service.parametersKey, 0, KEY_READ, &hKey) ==
            ERROR_SUCCESS) {
            for (const char* name : {kExternalSynchModeValueName, kSynchFramesNumberValueName}) {
                DWORD value = 0;
                DWORD type = 0;
                DWORD size = sizeof value;
                ::RegQueryValueExA(hKey, name, nullptr, &type, reinterpret_cast<BYTE*>(&value),
                                   &size);
            }
            ::RegCloseKey(hKey);
        }
    }
    for (HKEY hKey : keys) {
        if (hKey == nullptr) {
            continue;
        }
        ::RegSetValueExA(hKey, kExternalSynchModeValueName, 0, REG_DWORD,
                         reinterpret_cast<const BYTE*>(&mode), sizeof mode);
        ::RegSetValueExA(hKey, kSynchFramesNumberValueName, 0, REG_DWORD,
                         reinterpret_cast<const BYTE*>(&frames), sizeof frames);
        ::RegCloseKey(hKey);
    }
}

template <class F> double TimeUs(F operation)
{
    const double start = NowMs();
    operation();
    return 1000.0 * (NowMs() - start);
}

double Median(std::vector<double> values)
{
    std::sort(values.begin(), values.end());
    return values[values.size() / 2];
}

} // namespace

int main(int argc, char** argv)
{
    AnnounceStart(argv[0]);
    const int loads = argc == 3 ? std::atoi(argv[1]) : kDefaultLoads;
    const int saves = argc == 3 ? std::atoi(argv[2]) : kDefaultSaves;
    if (loads < 1 || saves < 1) {
        std::fputs("usage: registry_bench [LOADS SAVES]\n", stderr);
        return 2;
    }
    const ScratchLocalMachine scratch;
    Win32Registry registry;
    const DriverParameterStore store(registry);
    DirectSave(4, 3); // every row exists, so both loads read row 1

    // One operation at a time, the two sides taking turns and each going
    // first half the time, so that drift and interference fall on both
    // alike; the median of the single times ignores the odd slow call.
    std::vector<double> storeLoad, directLoad, storeSave, directSave;
    for (int i = 0; i < loads; ++i) {
        if (i % 2 == 0) {
            storeLoad.push_back(TimeUs([&store] { store.Load(); }));
            directLoad.push_back(TimeUs([] { DirectLoad(); }));
        } else {
            directLoad.push_back(TimeUs([] { DirectLoad(); }));
            storeLoad.push_back(TimeUs([&store] { store.Load(); }));
        }
    }
    for (int i = 0; i < saves; ++i) {
        if (i % 2 == 0) {
            storeSave.push_back(TimeUs([&store] { store.Save(4, 3); }));
            directSave.push_back(TimeUs([] { DirectSave(4, 3); }));
        } else {
            directSave.push_back(TimeUs([] { DirectSave(4, 3); }));
            storeSave.push_back(TimeUs([&store] { store.Save(4, 3); }));
        }
    }
    std::printf("load store_us=%.1f direct_us=%.1f ratio=%.3f\n", Median(storeLoad),
                Median(directLoad), Median(storeLoad) / Median(directLoad));
    std::printf("save store_us=%.1f direct_us=%.1f ratio=%.3f\n", Median(storeSave),
                Median(directSave), Median(storeSave) / Median(directSave));
    return 0;
}
