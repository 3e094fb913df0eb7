// CQuorinSyncOptionsDlg: the main options dialog. It shows the stored
// synchronization settings and, on OK, writes them to every driver service.
#pragma once

#include <afxwin.h>

#include "driver_parameter_store.h"
#include "save_verdict.h"
#include "resource.h"

class ElevatedSaver;
class RegistryAccess;
class SaveLock;
class SaveTrail;

class CQuorinSyncOptionsDlg : public CDialog {
public:
    // Loads from and saves to the driver services in `registry`, which
    // outlives the dialog.
    explicit CQuorinSyncOptionsDlg(RegistryAccess& registry, CWnd* pParent = nullptr);

    // When a save is refused for want of rights alone and `pSaver` is
    // available, the error box offers to save as administrator through it.
    // It outlives the dialog; none is set by default.
    void SetElevatedSaver(ElevatedSaver* pSaver) { m_pElevatedSaver = pSaver; }

    // Held for the whole of each save, so that no other program's save
    // interleaves with it. It outlives the dialog; none is set by default.
    void SetSaveLock(SaveLock* pLock) { m_pSaveLock = pLock; }

    // Keeps a record of each save, and of a save as administrator asked for
    // that never ran; the dialog shows nothing of it. It outlives the
    // dialog; none is set by default.
    void SetSaveTrail(SaveTrail* pTrail) { m_pSaveTrail = pTrail; }

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
    // After a refusal for want of rights: asks, saves through the elevated
    // saver, and tells how that went; true when every service was written.
    bool OfferElevatedSave(const SaveReport& saved, std::uint32_t mode, std::int32_t framesNumber);
    void ShowError(LPCSTR pszMessage, UINT nIcon);
    bool IsSyncEnabled() const;

    DriverParameterStore m_store;
    ElevatedSaver* m_pElevatedSaver;
    SaveLock* m_pSaveLock;
    SaveTrail* m_pSaveTrail;
    // Set while an OK is being handled, so that a second OK queued behind
    // it (while the warning or an error box runs its own loop) is ignored.
    bool m_bHandlingOk;
};
