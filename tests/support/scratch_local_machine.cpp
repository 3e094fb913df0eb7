// The process-wide HKEY_LOCAL_MACHINE redirection for tests and benchmarks.
#include "scratch_local_machine.h"

#include <cstdio>
#include <cstdlib>

namespace {

constexpr int kRefusedExitCode = 3;
const char kScratchParent[] = "Software\\Quorin Sync Options scratch";
// Made through HKEY_LOCAL_MACHINE and looked for below the scratch key: the
// proof that the redirection is in force.
const char kCanary[] = "redirection canary";

[[noreturn]] void Refuse(const char* what, LONG status)
{
    std::fprintf(stderr,
                 "Refusing to run: %s (status %ld), so HKEY_LOCAL_MACHINE could reach the "
                 "real registry.\n",
                 what, static_cast<long>(status));
    std::fflush(stderr);
    std::exit(kRefusedExitCode);
}

} // namespace

ScratchLocalMachine::ScratchLocalMachine() : m_szPath(), m_hScratch(nullptr)
{
    std::snprintf(m_szPath, sizeof m_szPath, "%s\\%lu", kScratchParent,
                  static_cast<unsigned long>(::GetCurrentProcessId()));
    // Left over from a process that was killed: start clean.
    ::RegDeleteTreeA(HKEY_CURRENT_USER, m_szPath);
    LONG status = ::RegCreateKeyExA(HKEY_CURRENT_USER, m_szPath, 0, nullptr, 0, KEY_ALL_ACCESS,
                                    nullptr, &m_hScratch, nullptr);
    if (status != ERROR_SUCCESS) {
        Refuse("the scratch key could not be made", status);
    }
    status = ::RegOverridePredefKey(HKEY_LOCAL_MACHINE, m_hScratch);
    if (status != ERROR_SUCCESS) {
        Refuse("RegOverridePredefKey failed", status);
    }
    HKEY hCanary = nullptr;
    status = ::RegCreateKeyExA(HKEY_LOCAL_MACHINE, kCanary, 0, nullptr, 0, KEY_ALL_ACCESS, nullptr,
                               &hCanary, nullptr);
    if (status != ERROR_SUCCESS) {
        Refuse("the canary key could not be made", status);
    }
    ::RegCloseKey(hCanary);
    status = ::RegOpenKeyExA(m_hScratch, kCanary, 0, KEY_READ, &hCanary);
    if (status != ERROR_SUCCESS) {
        Refuse("the canary key did not land below the scratch key", status);
    }
    ::RegCloseKey(hCanary);
    ::RegDeleteKeyA(m_hScratch, kCanary);
}

ScratchLocalMachine::~ScratchLocalMachine()
{
    ::RegOverridePredefKey(HKEY_LOCAL_MACHINE, nullptr);
    ::RegCloseKey(m_hScratch);
    ::RegDeleteTreeA(HKEY_CURRENT_USER, m_szPath);
    ::RegDeleteKeyA(HKEY_CURRENT_USER, m_szPath);
    // The parent goes when no other process is using it.
    ::RegDeleteKeyA(HKEY_CURRENT_USER, kScratchParent);
}
