// CSyncOptionsWarningMessage: the confirmation shown before an external input
// is enabled. Only "Agree" (IDOK) lets the save go ahead.
#pragma once

#include <afxwin.h>

#include "resource.h"

class CSyncOptionsWarningMessage : public CDialog {
    DECLARE_DYNAMIC(CSyncOptionsWarningMessage)

public:
    explicit CSyncOptionsWarningMessage(CWnd* pParent = nullptr);

    enum { IDD = IDD_SYNC_WARNING };

protected:
    void DoDataExchange(CDataExchange* pDX) override;
    BOOL OnInitDialog() override;

    afx_msg HBRUSH OnCtlColor(CDC* pDC, CWnd* pWnd, UINT nCtlColor);

    CStatic m_staticText;
    CStatic m_staticIcon;

    DECLARE_MESSAGE_MAP()
};
