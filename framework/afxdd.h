// Data exchange between a dialog's controls and its members.
#pragma once

#include <windows.h>

class CWnd;

class CDataExchange {
public:
    CDataExchange(CWnd* pDlgWnd, BOOL bSaveAndValidate);

    BOOL m_bSaveAndValidate; // TRUE: controls to members
    CWnd* m_pDlgWnd;

    // The control's window in the dialog.
    HWND PrepareCtrl(int nIDC) const;
};

// Attaches the wrapper to the dialog's control nIDC, the first time only,
// until the dialog's window is destroyed.
void DDX_Control(CDataExchange* pDX, int nIDC, CWnd& rControl);

// The radio group that starts at nIDC and runs to the next control with
// WS_GROUP. Loading checks the button at index `value` (and clears the
// others); saving gives the index of the checked button, or -1 for none.
void DDX_Radio(CDataExchange* pDX, int nIDC, int& value);
