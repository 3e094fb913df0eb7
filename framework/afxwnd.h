// CWnd: a window handle and the calls the application makes on it, with
// message-map dispatch for windows the framework attaches to.
#pragma once

#include "afxcmd.h"
#include "afxstr.h"

class CDataExchange;
class CDC;

class CWnd : public CCmdTarget {
    DECLARE_DYNAMIC(CWnd)

public:
    HWND m_hWnd;

    CWnd();
    ~CWnd() override;

    HWND GetSafeHwnd() const { return m_hWnd; }
    operator HWND() const { return m_hWnd; }

    // The object attached to a window, if any (a dialog, or a control given
    // to DDX_Control); FromHandle gives a temporary wrapper otherwise, valid
    // until the outermost modal dialog ends.
    static CWnd* FromHandlePermanent(HWND hWnd);
    static CWnd* FromHandle(HWND hWnd);
    static void DeleteTempMap();

    // Attaches this object to a control and routes its messages through
    // this object's map before the control's own procedure.
    BOOL SubclassWindow(HWND hWnd);
    HWND UnsubclassWindow();

    CWnd* GetDlgItem(int nID) const;
    void GetDlgItem(int nID, HWND* phWnd) const;
    int GetDlgCtrlID() const { return ::GetDlgCtrlID(m_hWnd); }
    BOOL EnableWindow(BOOL bEnable = TRUE) { return ::EnableWindow(m_hWnd, bEnable); }
    BOOL IsWindowEnabled() const { return ::IsWindowEnabled(m_hWnd); }
    void SetWindowText(LPCSTR lpszString) { ::SetWindowTextA(m_hWnd, lpszString); }
    int GetWindowText(LPSTR lpszStringBuf, int nMaxCount) const;
    void GetWindowText(CString& rString) const;
    LRESULT SendMessage(UINT message, WPARAM wParam = 0, LPARAM lParam = 0) const;
    BOOL IsIconic() const { return ::IsIconic(m_hWnd); }
    void GetClientRect(LPRECT lpRect) const { ::GetClientRect(m_hWnd, lpRect); }
    void GetWindowRect(LPRECT lpRect) const { ::GetWindowRect(m_hWnd, lpRect); }
    DWORD GetStyle() const { return static_cast<DWORD>(::GetWindowLongPtrA(m_hWnd, GWL_STYLE)); }
    HICON SetIcon(HICON hIcon, BOOL bBigIcon);

    // Centres over the owner when it is visible and not minimized, else over
    // the work area of the nearest monitor, and keeps the window on it.
    void CenterWindow();

    // Moves data between the controls and the members (save = TRUE: from the
    // controls). FALSE when the exchange could not be made.
    BOOL UpdateData(BOOL bSaveAndValidate = TRUE);

    // Runs this object's map for a message; DefWindowProc otherwise.
    virtual LRESULT WindowProc(UINT message, WPARAM wParam, LPARAM lParam);

protected:
    virtual void DoDataExchange(CDataExchange* pDX);
    virtual BOOL OnCommand(WPARAM wParam, LPARAM lParam);
    virtual LRESULT DefWindowProc(UINT message, WPARAM wParam, LPARAM lParam);

    // The default processing of the message being handled now.
    LRESULT Default();

    // TRUE when a handler of the map took the message.
    BOOL OnWndMsg(UINT message, WPARAM wParam, LPARAM lParam, LRESULT* pResult);

    void Attach(HWND hWnd);
    void Detach();

    afx_msg HBRUSH OnCtlColor(CDC* pDC, CWnd* pWnd, UINT nCtlColor);
    afx_msg void OnPaint();
    afx_msg BOOL OnHelpInfo(HELPINFO* pHelpInfo);

    DECLARE_MESSAGE_MAP()

private:
    static LRESULT CALLBACK SubclassProc(HWND hWnd, UINT message, WPARAM wParam, LPARAM lParam);

    WNDPROC m_pfnSuper;
};

// The message being dispatched, for Default(); saved and restored around
// nested dispatch.
struct AfxCurrentMessage {
    explicit AfxCurrentMessage(const MSG& msg);
    ~AfxCurrentMessage();
    AfxCurrentMessage(const AfxCurrentMessage&) = delete;
    AfxCurrentMessage& operator=(const AfxCurrentMessage&) = delete;

    static const MSG& Get();

private:
    MSG m_saved;
};
