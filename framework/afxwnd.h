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

    // The object attached to a window, if any (a dialog, or a control given
    // to DDX_Control): the one way from a window to its object, a window
    // property. FromHandle gives a temporary wrapper otherwise, valid until
    // the outermost modal dialog ends.
    static CWnd* FromHandlePermanent(HWND hWnd);
    static CWnd* FromHandle(HWND hWnd);
    static void DeleteTempMap();

    // Attaches this object to a window without taking its messages.
    BOOL Attach(HWND hWndNew);
    HWND Detach();

    // Attaches this object to a control and routes its messages through
    // this object's map before the control's own procedure.
    BOOL SubclassWindow(HWND hWnd);
    HWND UnsubclassWindow();

    CWnd* GetDlgItem(int nID) const;
    void GetDlgItem(int nID, HWND* phWnd) const;
    BOOL EnableWindow(BOOL bEnable = TRUE) { return ::EnableWindow(m_hWnd, bEnable); }
    void SetWindowText(LPCSTR lpszString) { ::SetWindowTextA(m_hWnd, lpszString); }
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
    // controls). Always TRUE: no exchange of this layer validates or fails,
    // and one whose control the template lacks is left out, so that such a
    // template still opens and closes.
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

    // Lets go of the wrappers attached to this window's children without
    // taking their messages (those that did let go at their WM_NCDESTROY).
    void DetachChildren();

    afx_msg HBRUSH OnCtlColor(CDC* pDC, CWnd* pWnd, UINT nCtlColor);
    afx_msg void OnPaint();
    afx_msg BOOL OnHelpInfo(HELPINFO* pHelpInfo);

    DECLARE_MESSAGE_MAP()

private:
    friend void DDX_Control(CDataExchange* pDX, int nIDC, CWnd& rControl);

    // Whether the object's map chain holds more than CWnd's own entries, so
    // that its window's messages must come through it.
    // cppcheck-suppress unusedPrivateFunction ; DDX_Control, a friend, calls it
    bool HasOwnMessageMap() const;

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
