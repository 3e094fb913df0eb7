// CDialog over DialogBoxParamA: the dialog procedure attaches the object
// given with WM_INITDIALOG, finds it from its window afterwards, and
// dispatches through its message map.
#include "afxdlg.h"

#include "afxwinapp.h"

IMPLEMENT_DYNAMIC(CDialog, CWnd)

BEGIN_MESSAGE_MAP(CDialog, CWnd)
    ON_COMMAND(IDOK, &CDialog::OnOK)
    ON_COMMAND(IDCANCEL, &CDialog::OnCancel)
END_MESSAGE_MAP()

namespace {

// Commands from menus and accelerators (not control ids) below the system
// command range go on to the application object.
constexpr UINT kFirstCommandId = 0x8000;
constexpr UINT kFirstSystemCommandId = 0xF000;

int g_nModalDepth = 0;

// Messages whose result a dialog procedure returns itself rather than
// through DWLP_MSGRESULT.
bool ReturnsResultDirectly(UINT message)
{
    return (message >= WM_CTLCOLORMSGBOX && message <= WM_CTLCOLORSTATIC) ||
           message == WM_COMPAREITEM || message == WM_VKEYTOITEM || message == WM_CHARTOITEM ||
           message == WM_QUERYDRAGICON || message == WM_INITDIALOG;
}

} // namespace

CDialog::CDialog(UINT nIDTemplate, CWnd* pParentWnd)
    : m_nIDTemplate(nIDTemplate), m_pParentWnd(pParentWnd), m_bDeclineNext(false)
{
}

INT_PTR CDialog::DoModal()
{
    HWND hWndOwner = m_pParentWnd != nullptr ? m_pParentWnd->m_hWnd : nullptr;
    if (hWndOwner == nullptr) {
        CWnd* pMainWnd = AfxGetMainWnd();
        if (pMainWnd != nullptr && pMainWnd != this) {
            hWndOwner = pMainWnd->m_hWnd;
        }
    }
    if (hWndOwner != nullptr) {
        hWndOwner = ::GetAncestor(hWndOwner, GA_ROOT);
    }
    ++g_nModalDepth;
    const INT_PTR nResult =
        ::DialogBoxParamA(AfxGetResourceHandle(), MAKEINTRESOURCEA(m_nIDTemplate), hWndOwner,
                          &CDialog::DialogProc, reinterpret_cast<LPARAM>(this));
    if (--g_nModalDepth == 0) {
        DeleteTempMap();
    }
    Detach();
    return nResult;
}

void CDialog::EndDialog(int nResult)
{
    ::EndDialog(m_hWnd, nResult);
}

INT_PTR CALLBACK CDialog::DialogProc(HWND hWnd, UINT message, WPARAM wParam, LPARAM lParam)
{
    if (message == WM_INITDIALOG) {
        auto* pDialog = reinterpret_cast<CDialog*>(lParam);
        pDialog->Attach(hWnd);
        return pDialog->HandleInitDialog();
    }
    // Messages before WM_INITDIALOG (WM_SETFONT) find no object yet.
    CWnd* pWnd = FromHandlePermanent(hWnd);
    if (pWnd == nullptr || !pWnd->IsKindOf(RUNTIME_CLASS(CDialog))) {
        return FALSE;
    }
    auto* pDialog = static_cast<CDialog*>(pWnd);
    if (pDialog->m_bDeclineNext) {
        pDialog->m_bDeclineNext = false;
        return FALSE;
    }
    const INT_PTR nResult = pDialog->HandleMessage(message, wParam, lParam);
    if (message == WM_DESTROY) {
        pDialog->DetachChildren();
    } else if (message == WM_NCDESTROY) {
        pDialog->Detach();
    }
    return nResult;
}

INT_PTR CDialog::HandleMessage(UINT message, WPARAM wParam, LPARAM lParam)
{
    LRESULT lResult = 0;
    if (!OnWndMsg(message, wParam, lParam, &lResult)) {
        return FALSE;
    }
    if (ReturnsResultDirectly(message)) {
        return lResult;
    }
    ::SetWindowLongPtrA(m_hWnd, DWLP_MSGRESULT, lResult);
    return TRUE;
}

INT_PTR CDialog::HandleInitDialog()
{
    RECT before = {};
    GetWindowRect(&before);
    const DWORD dwStyleBefore = GetStyle();

    const BOOL bSetFocus = OnInitDialog();

    // Centre a popup that the dialog manager placed where its template said
    // and that initialisation neither showed nor moved.
    RECT after = {};
    GetWindowRect(&after);
    if ((dwStyleBefore & WS_VISIBLE) == 0 && (GetStyle() & (WS_VISIBLE | WS_CHILD)) == 0 &&
        before.left == after.left && before.top == after.top) {
        CenterWindow();
    }
    if (bSetFocus) {
        FocusFirstTabStop();
    }
    // The focus is set either way, so the dialog manager must not set it.
    return FALSE;
}

void CDialog::FocusFirstTabStop()
{
    // WM_NEXTDLGCTL moves the focus as Windows does after a WM_INITDIALOG
    // that returns TRUE: a push button that takes the focus also takes the
    // default-button style, so Return presses the focused button. Wine keeps
    // the template's default instead, so the focus is given here.
    for (HWND hWndChild = ::GetWindow(m_hWnd, GW_CHILD); hWndChild != nullptr;
         hWndChild = ::GetWindow(hWndChild, GW_HWNDNEXT)) {
        const LONG_PTR style = ::GetWindowLongPtrA(hWndChild, GWL_STYLE);
        if ((style & WS_TABSTOP) != 0 && (style & WS_VISIBLE) != 0 && (style & WS_DISABLED) == 0) {
            SendMessage(WM_NEXTDLGCTL, reinterpret_cast<WPARAM>(hWndChild), TRUE);
            return;
        }
    }
}

BOOL CDialog::OnInitDialog()
{
    UpdateData(FALSE);
    return TRUE;
}

void CDialog::OnOK()
{
    if (!UpdateData(TRUE)) {
        return;
    }
    EndDialog(IDOK);
}

void CDialog::OnCancel()
{
    EndDialog(IDCANCEL);
}

BOOL CDialog::OnCmdMsg(UINT nID, int nCode)
{
    if (CWnd::OnCmdMsg(nID, nCode)) {
        return TRUE;
    }
    if (nCode != 0 || nID < kFirstCommandId || nID >= kFirstSystemCommandId) {
        return FALSE;
    }
    CWinApp* pApp = AfxGetApp();
    return pApp != nullptr && pApp->OnCmdMsg(nID, nCode);
}

LRESULT CDialog::DefWindowProc(UINT message, WPARAM wParam, LPARAM lParam)
{
    m_bDeclineNext = true;
    const LRESULT lResult = ::DefDlgProcA(m_hWnd, message, wParam, lParam);
    m_bDeclineNext = false;
    return lResult;
}
