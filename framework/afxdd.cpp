// DDX_Control and DDX_Radio.
#include "afxdd.h"

#include "afxwnd.h"

CDataExchange::CDataExchange(CWnd* pDlgWnd, BOOL bSaveAndValidate)
    : m_bSaveAndValidate(bSaveAndValidate), m_pDlgWnd(pDlgWnd)
{
}

HWND CDataExchange::PrepareCtrl(int nIDC) const
{
    HWND hWndCtrl = nullptr;
    m_pDlgWnd->GetDlgItem(nIDC, &hWndCtrl);
    return hWndCtrl;
}

void DDX_Control(CDataExchange* pDX, int nIDC, CWnd& rControl)
{
    if (rControl.m_hWnd != nullptr) {
        return;
    }
    // A wrapper without a map of its own only sends messages to its control,
    // so it is attached and the control keeps its own procedure; one with a
    // map takes the control's messages first.
    HWND hWndCtrl = pDX->PrepareCtrl(nIDC);
    if (rControl.HasOwnMessageMap()) {
        rControl.SubclassWindow(hWndCtrl);
    } else {
        rControl.Attach(hWndCtrl);
    }
}

void DDX_Radio(CDataExchange* pDX, int nIDC, int& value)
{
    HWND hWndCtrl = pDX->PrepareCtrl(nIDC);
    if (hWndCtrl == nullptr) {
        return;
    }
    if (pDX->m_bSaveAndValidate) {
        value = -1;
    }
    int iButton = 0;
    do {
        if ((::SendMessageA(hWndCtrl, WM_GETDLGCODE, 0, 0) & DLGC_RADIOBUTTON) != 0) {
            if (pDX->m_bSaveAndValidate) {
                if (::SendMessageA(hWndCtrl, BM_GETCHECK, 0, 0) != BST_UNCHECKED) {
                    value = iButton;
                }
            } else {
                ::SendMessageA(hWndCtrl, BM_SETCHECK, iButton == value ? BST_CHECKED : BST_UNCHECKED, 0);
            }
            ++iButton;
        }
        hWndCtrl = ::GetWindow(hWndCtrl, GW_HWNDNEXT);
    } while (hWndCtrl != nullptr && (::GetWindowLongPtrA(hWndCtrl, GWL_STYLE) & WS_GROUP) == 0);
}
