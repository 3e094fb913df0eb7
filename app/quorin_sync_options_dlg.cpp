// The main options dialog: moves the settings between its controls and the
// driver parameter store, through the settings conversions.
#include "quorin_sync_options_dlg.h"

#include "elevated_save.h"
#include "save_failure_message.h"
#include "save_lock.h"
#include "save_record.h"
#include "save_verdict.h"
#include "sync_options_warning_message.h"
#include "sync_settings.h"

namespace {

const int kInputButtons[] = {IDC_INPUT_FRAME, IDC_INPUT_LINE, IDC_INPUT_SCANSTART};

const char kSaveInProgressText[] =
    "Nothing was saved and nothing was changed: another save of these settings is in progress "
    "(by another program or user).\nPress OK to try again.";

const char kNoInputSelectedText[] =
    "No input is selected. Select the input that carries the synchronization signal, then "
    "press OK again.";

} // namespace

BEGIN_MESSAGE_MAP(CQuorinSyncOptionsDlg, CDialog)
    ON_WM_PAINT()
    ON_WM_QUERYDRAGICON()
    ON_BN_CLICKED(IDOK, &CQuorinSyncOptionsDlg::OnOkClicked)
    ON_BN_CLICKED(IDC_INPUT_FRAME, &CQuorinSyncOptionsDlg::OnInputClicked)
    ON_BN_CLICKED(IDC_INPUT_LINE, &CQuorinSyncOptionsDlg::OnInputClicked)
    ON_BN_CLICKED(IDC_INPUT_SCANSTART, &CQuorinSyncOptionsDlg::OnInputClicked)
    ON_BN_CLICKED(IDC_ENABLE_SYNC, &CQuorinSyncOptionsDlg::UpdateInputsEnabled)
END_MESSAGE_MAP()

CQuorinSyncOptionsDlg::CQuorinSyncOptionsDlg(RegistryAccess& registry, CWnd* pParent)
    : CDialog(IDD, pParent), m_hIcon(AfxGetApp()->LoadIcon(IDR_MAINFRAME)), m_nInput(FrameInput),
      m_store(registry), m_pElevatedSaver(nullptr), m_pSaveLock(nullptr), m_pSaveTrail(nullptr),
      m_bHandlingOk(false)
{
}

void CQuorinSyncOptionsDlg::DoDataExchange(CDataExchange* pDX)
{
    CDialog::DoDataExchange(pDX);
    DDX_Control(pDX, IDC_ENABLE_SYNC, m_checkEnableSync);
    DDX_Control(pDX, IDC_FRAMES_NUMBER, m_editFramesNumber);
    DDX_Radio(pDX, IDC_INPUT_FRAME, m_nInput);
}

BOOL CQuorinSyncOptionsDlg::OnInitDialog()
{
    CDialog::OnInitDialog();
    SetIcon(m_hIcon, TRUE);
    SetIcon(m_hIcon, FALSE);
    LoadSettingsIntoControls();
    return TRUE; // the focus goes to the first tab stop, OK
}

void CQuorinSyncOptionsDlg::LoadSettingsIntoControls()
{
    const LoadResult loaded = m_store.Load();
    if (!loaded.found) {
        return; // box clear, inputs disabled on Frame input, field empty
    }
    const DecodedSynchMode decoded = DecodeSynchMode(loaded.mode, m_nInput);
    m_checkEnableSync.SetCheck(decoded.enabled ? BST_CHECKED : BST_UNCHECKED);
    UpdateInputsEnabled();
    m_nInput = decoded.input;
    UpdateData(FALSE);
    m_editFramesNumber.SetWindowText(FormatFramesNumber(loaded.framesNumber).c_str());
}

bool CQuorinSyncOptionsDlg::IsSyncEnabled() const
{
    return m_checkEnableSync.GetCheck() == BST_CHECKED;
}

void CQuorinSyncOptionsDlg::UpdateInputsEnabled()
{
    const BOOL bEnable = IsSyncEnabled() ? TRUE : FALSE;
    for (int nID : kInputButtons) {
        // A template without the control must not bring the program down.
        if (CWnd* pButton = GetDlgItem(nID)) {
            pButton->EnableWindow(bEnable);
        }
    }
}

void CQuorinSyncOptionsDlg::OnInputClicked()
{
    UpdateData(TRUE);
}

void CQuorinSyncOptionsDlg::OnOkClicked()
{
    if (m_bHandlingOk) {
        return;
    }
    m_bHandlingOk = true;
    ConfirmAndSave();
    m_bHandlingOk = false;
}

void CQuorinSyncOptionsDlg::ConfirmAndSave()
{
    if (IsSyncEnabled()) {
        // Encoding an index outside the group would store a bit that names
        // no input.
        if (!IsSyncInput(m_nInput)) {
            ShowError(kNoInputSelectedText, MB_ICONEXCLAMATION);
            return;
        }
        CSyncOptionsWarningMessage warning;
        if (warning.DoModal() != IDOK) {
            return;
        }
    }
    // m_nInput holds the last choice made by the load or a radio click.
    const std::uint32_t mode = EncodeSynchMode(IsSyncEnabled(), m_nInput);
    CString framesText;
    m_editFramesNumber.GetWindowText(framesText);
    const std::int32_t framesNumber = ParseFramesNumber(framesText);
    // The lock is let go before any box or elevated run: it is never held
    // while the dialog waits on the user or on another program.
    const LockedSave locked = SaveOneAtATime(m_store, m_pSaveLock, m_pSaveTrail, mode, framesNumber);
    if (locked.busy) {
        ShowError(kSaveInProgressText, MB_ICONEXCLAMATION);
        return;
    }
    const SaveReport& saved = locked.report;
    const SaveOutcome outcome = saved.outcome;
    if (outcome == SaveOutcome::AllWritten) {
        OnOK();
        return;
    }
    // Closing now would tell the user the settings were saved.
    if (outcome == SaveOutcome::RefusedForRights && m_pElevatedSaver != nullptr &&
        m_pElevatedSaver->Available()) {
        if (OfferElevatedSave(saved, mode, framesNumber)) {
            OnOK();
        }
        return;
    }
    ShowError(SaveFailureMessage(saved), MB_ICONERROR);
}

bool CQuorinSyncOptionsDlg::OfferElevatedSave(const SaveReport& saved, std::uint32_t mode,
                                             std::int32_t framesNumber)
{
    const CString message = SaveFailureMessage(saved, true);
    CString caption;
    GetWindowText(caption);
    // The system's shield, as Windows marks an action that asks for rights.
    MSGBOXPARAMSA params = {};
    params.cbSize = sizeof params;
    params.hwndOwner = m_hWnd;
    params.lpszText = message;
    params.lpszCaption = caption;
    params.dwStyle = MB_YESNO | MB_USERICON;
    params.lpszIcon = IDI_SHIELD;
    if (::MessageBoxIndirectA(&params) != IDYES) {
        return false;
    }
    // The warning was agreed to before this save: it is not shown again.
    const ElevatedSaveRun run =
        m_pElevatedSaver->Run(m_hWnd, ElevatedSetParameters(mode, framesNumber));
    // Why a run never started, in the system's words (access denied here is
    // not about the keys), for the box and the record alike.
    const StatusText why = SystemStatusText(m_store.Registry(), static_cast<RegStatus>(run.error));
    // A save that ran is recorded by quorin-sync itself; one that never ran
    // is recorded here, so the trail still shows that it was asked for.
    if (m_pSaveTrail != nullptr && (run.result == ElevatedSaveRun::Result::Declined ||
                                    run.result == ElevatedSaveRun::Result::NotStarted)) {
        const bool bDeclined = run.result == ElevatedSaveRun::Result::Declined;
        (void)m_pSaveTrail->Write(RecordOfElevatedSaveNotRun(
            m_pSaveTrail->Actor(), mode, framesNumber, bDeclined, bDeclined ? "" : why.text));
    }
    if (run.result != ElevatedSaveRun::Result::Finished ||
        run.exitCode != static_cast<DWORD>(kExitOk)) {
        ShowError(ElevatedSaveFailureMessage(run, why.text), MB_ICONERROR);
        return false;
    }
    // An exit code is only a program's word: the dialog closes as saved
    // only on what the eight services hold now.
    ServicesHolding holding{};
    bool bAllHold = true;
    for (std::size_t row = 0; row < kDriverServiceCount; ++row) {
        holding[row] = HoldsSettings(m_store.ReadService(row), mode, framesNumber);
        bAllHold = bAllHold && holding[row];
    }
    if (!bAllHold) {
        ShowError(ElevatedSaveUnconfirmedMessage(holding), MB_ICONERROR);
    }
    return bAllHold;
}

void CQuorinSyncOptionsDlg::ShowError(LPCSTR pszMessage, UINT nIcon)
{
    CString caption;
    GetWindowText(caption);
    ::MessageBoxA(m_hWnd, pszMessage, caption, MB_OK | nIcon);
}

void CQuorinSyncOptionsDlg::OnPaint()
{
    if (IsIconic()) {
        CPaintDC dc(this);
        SendMessage(WM_ICONERASEBKGND, reinterpret_cast<WPARAM>(dc.GetSafeHdc()), 0);
        const int cxIcon = ::GetSystemMetrics(SM_CXICON);
        const int cyIcon = ::GetSystemMetrics(SM_CYICON);
        RECT rect = {};
        GetClientRect(&rect);
        const int x = (rect.right - rect.left - cxIcon + 1) / 2;
        const int y = (rect.bottom - rect.top - cyIcon + 1) / 2;
        dc.DrawIcon(x, y, m_hIcon);
    } else {
        CDialog::OnPaint();
    }
}

HCURSOR CQuorinSyncOptionsDlg::OnQueryDragIcon()
{
    return static_cast<HCURSOR>(m_hIcon);
}
