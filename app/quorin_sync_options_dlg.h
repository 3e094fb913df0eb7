// CQuorinSyncOptionsDlg: the main options dialog. It shows the stored
// synchronization settings and, on OK, writes them to every driver service.
#pragma once

#include <afxwin.h>

#include "driver_parameter_store.h"
#include "resource.h"

class RegistryAccess;

class CQuorinSyncOptionsDlg : public CDialog {
public:
    // Loads from and saves to the driver services in `registry`, which
    // outlives the dialog.
    explicit CQuorinSyncOptionsDlg(RegistryAccess& registry, CWnd* pParent = nullptr);

    enum { IDD = IDD_SYNCOPTIONS_DIALOG };

protected:
    void DoDataExchange(CDataExchange* pDX) override;
    BOOL OnInitDialog() override;

    afx_msg void OnPaint();
    afx_msg HCURSOR OnQueryDragIcon();
    afx_msg void OnOkClicked();
    afx_msg void OnInputClicked();
    afx_msg void UpdateInputsEnabled();

    HICON m_hIcon;
    CButton m_checkEnableSync;
    CEdit m_editFramesNumber;
    int m_nInput;

    DECLARE_MESSAGE_MAP()

private:
    void LoadSettingsIntoControls();
    void ConfirmAndSave();
    SaveResult SaveSettingsFromControls();
    void ShowError(LPCSTR pszMessage, UINT nIcon);
    bool IsSyncEnabled() const;

    DriverParameterStore m_store;
    // Set while an OK is being handled, so that a second OK queued behind
    // it (while the warning or an error box runs its own loop) is ignored.
    bool m_bHandlingOk;
};
