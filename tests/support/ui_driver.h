// Drives a modal dialog from a second thread, as a user would act on it:
// clicks, keys and text go to the real windows as messages, and every wait
// polls against a deadline.
#pragma once

#include <windows.h>

#include <functional>
#include <string>

class UiDriver {
public:
    // Runs `modal` (which runs a dialog's modal loop) on this thread while
    // `drive` acts from a second thread. When `drive` returns, any window the
    // modal thread still shows is cancelled, so a failed test never hangs.
    // Returns what `modal` returned.
    static INT_PTR Run(const std::function<INT_PTR()>& modal,
                       const std::function<void(UiDriver&)>& drive);

    // The visible top-level window of the modal thread with this caption,
    // other than `other`; null (and a test failure) past the deadline.
    HWND WaitForWindow(const char* caption, HWND other = nullptr);
    // How many top-level windows of the modal thread, shown or not yet
    // shown, have this caption.
    int CountWindows(const char* caption) const;
    // Waits until the window is gone; false past the deadline.
    bool WaitForClose(HWND hWnd);
    // Polls `condition` until it holds; false (and a failure naming `what`)
    // past the deadline.
    bool WaitUntil(const std::function<bool()>& condition, const char* what);

    // A click on a dialog's button, queued as the user's click would be.
    static void Click(HWND hDlg, int nID);
    // A key pressed and released on the control with the focus.
    void PressKey(WORD vk);
    // Puts the focus on a control, as Tab or a click would.
    static void Focus(HWND hDlg, int nID);
    // Replaces a control's text, as a paste would.
    static void SetText(HWND hDlg, int nID, const char* text);

    static std::string Text(HWND hWnd);
    static std::string ItemText(HWND hDlg, int nID) { return Text(::GetDlgItem(hDlg, nID)); }
    static bool Checked(HWND hDlg, int nID);
    static bool Enabled(HWND hDlg, int nID) { return ::IsWindowEnabled(::GetDlgItem(hDlg, nID)) != FALSE; }
    HWND Focused() const;

    DWORD ModalThreadId() const { return m_modalThreadId; }

private:
    explicit UiDriver(DWORD modalThreadId) : m_modalThreadId(modalThreadId) {}
    void CancelRemainingWindows();

    DWORD m_modalThreadId;
};
