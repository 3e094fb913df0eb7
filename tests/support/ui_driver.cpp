// The second-thread dialog driver.
#include "ui_driver.h"

#include <gtest/gtest.h>

#include <chrono>
#include <thread>
#include <vector>

namespace {

constexpr auto kDeadline = std::chrono::seconds(10);
constexpr DWORD kPollMilliseconds = 10;

std::vector<HWND> VisibleThreadWindows(DWORD threadId)
{
    std::vector<HWND> windows;
    ::EnumThreadWindows(
        threadId,
        [](HWND hWnd, LPARAM lParam) -> BOOL {
            if (::IsWindowVisible(hWnd)) {
                reinterpret_cast<std::vector<HWND>*>(lParam)->push_back(hWnd);
            }
            return TRUE;
        },
        reinterpret_cast<LPARAM>(&windows));
    return windows;
}

} // namespace

INT_PTR UiDriver::Run(const std::function<INT_PTR()>& modal,
                      const std::function<void(UiDriver&)>& drive)
{
    UiDriver driver(::GetCurrentThreadId());
    std::thread actor([&driver, &drive] {
        drive(driver);
        driver.CancelRemainingWindows();
    });
    const INT_PTR result = modal();
    actor.join();
    return result;
}

void UiDriver::CancelRemainingWindows()
{
    const auto deadline = std::chrono::steady_clock::now() + kDeadline;
    while (std::chrono::steady_clock::now() < deadline) {
        std::vector<HWND> windows = VisibleThreadWindows(m_modalThreadId);
        if (windows.empty()) {
            return;
        }
        // The topmost modal window is the enabled one.
        for (HWND hWnd : windows) {
            if (::IsWindowEnabled(hWnd)) {
                // A Yes/No box has no Cancel: No answers it.
                ::PostMessageA(hWnd, WM_COMMAND, IDCANCEL, 0);
                ::PostMessageA(hWnd, WM_COMMAND, IDNO, 0);
            }
        }
        ::Sleep(kPollMilliseconds * 5);
    }
    ADD_FAILURE() << "the dialog did not close after the scenario";
}

bool UiDriver::WaitUntil(const std::function<bool()>& condition, const char* what)
{
    const auto deadline = std::chrono::steady_clock::now() + kDeadline;
    while (!condition()) {
        if (std::chrono::steady_clock::now() >= deadline) {
            ADD_FAILURE() << "timed out waiting for " << what;
            return false;
        }
        ::Sleep(kPollMilliseconds);
    }
    return true;
}

HWND UiDriver::WaitForWindow(const char* caption, HWND other)
{
    HWND found = nullptr;
    WaitUntil(
        [&] {
            for (HWND hWnd : VisibleThreadWindows(m_modalThreadId)) {
                if (hWnd != other && Text(hWnd) == caption) {
                    found = hWnd;
                    return true;
                }
            }
            return false;
        },
        caption);
    return found;
}

int UiDriver::CountWindows(const char* caption) const
{
    struct Search {
        const char* caption;
        int count;
    } search{caption, 0};
    ::EnumThreadWindows(
        m_modalThreadId,
        [](HWND hWnd, LPARAM lParam) -> BOOL {
            auto* pSearch = reinterpret_cast<Search*>(lParam);
            pSearch->count += Text(hWnd) == pSearch->caption ? 1 : 0;
            return TRUE;
        },
        reinterpret_cast<LPARAM>(&search));
    return search.count;
}

bool UiDriver::WaitForClose(HWND hWnd)
{
    return WaitUntil([hWnd] { return !::IsWindow(hWnd) || !::IsWindowVisible(hWnd); },
                     "a window to close");
}

void UiDriver::Click(HWND hDlg, int nID)
{
    ::PostMessageA(::GetDlgItem(hDlg, nID), BM_CLICK, 0, 0);
}

HWND UiDriver::Focused() const
{
    GUITHREADINFO info = {};
    info.cbSize = sizeof info;
    ::GetGUIThreadInfo(m_modalThreadId, &info);
    return info.hwndFocus;
}

void UiDriver::PressKey(WORD vk)
{
    HWND hFocus = Focused();
    const UINT scan = ::MapVirtualKeyA(vk, MAPVK_VK_TO_VSC);
    ::PostMessageA(hFocus, WM_KEYDOWN, vk, static_cast<LPARAM>(1 | scan << 16));
    ::PostMessageA(hFocus, WM_KEYUP, vk, static_cast<LPARAM>(1 | scan << 16 | 0xC0000000u));
}

void UiDriver::Focus(HWND hDlg, int nID)
{
    ::SendMessageA(hDlg, WM_NEXTDLGCTL, reinterpret_cast<WPARAM>(::GetDlgItem(hDlg, nID)), TRUE);
}

void UiDriver::SetText(HWND hDlg, int nID, const char* text)
{
    ::SendMessageA(::GetDlgItem(hDlg, nID), WM_SETTEXT, 0, reinterpret_cast<LPARAM>(text));
}

std::string UiDriver::Text(HWND hWnd)
{
    char buffer[1024] = {};
    ::SendMessageA(hWnd, WM_GETTEXT, sizeof buffer, reinterpret_cast<LPARAM>(buffer));
    return buffer;
}

bool UiDriver::Checked(HWND hDlg, int nID)
{
    return ::SendMessageA(::GetDlgItem(hDlg, nID), BM_GETCHECK, 0, 0) == BST_CHECKED;
}
