// CDialog: a modal dialog built from a template resource.
#pragma once

#include "afxwnd.h"

class CDialog : public CWnd {
    DECLARE_DYNAMIC(CDialog)

public:
    explicit CDialog(UINT nIDTemplate, CWnd* pParentWnd = nullptr);

    // Runs the dialog modally: IDOK or IDCANCEL as it ended, -1 when it
    // could not be created. Without a parent the owner is the application's
    // main window, unless that is this dialog; the owner is disabled while
    // the dialog runs.
    virtual INT_PTR DoModal();
    void EndDialog(int nResult);

    virtual BOOL OnInitDialog();
    BOOL OnCmdMsg(UINT nID, int nCode) override;

protected:
    virtual void OnOK();
    virtual void OnCancel();

    // What DefDlgProc does with the message: the dialog procedure declines
    // it, and the dialog manager's own processing runs.
    LRESULT DefWindowProc(UINT message, WPARAM wParam, LPARAM lParam) override;

    UINT m_nIDTemplate;
    CWnd* m_pParentWnd;

    DECLARE_MESSAGE_MAP()

private:
    static INT_PTR CALLBACK DialogProc(HWND hWnd, UINT message, WPARAM wParam, LPARAM lParam);
    INT_PTR HandleInitDialog();
    INT_PTR HandleMessage(UINT message, WPARAM wParam, LPARAM lParam);
    void FocusFirstTabStop();

    // Set while DefWindowProc hands a message to DefDlgProc, which calls the
    // dialog procedure with it first: that call declines it.
    bool m_bDeclineNext;
};
