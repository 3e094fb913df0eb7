// CWnd: handle maps, subclassing and message dispatch.
#include "afxwnd.h"

#include "afxdc.h"
#include "afxdd.h"
#include "afxwinapp.h"

IMPLEMENT_DYNAMIC(CWnd, CCmdTarget)

BEGIN_MESSAGE_MAP(CWnd, CCmdTarget)
    ON_WM_HELPINFO()
END_MESSAGE_MAP()

namespace {

// The window property that leads from a window to its attached object.
const char kPermanentProperty[] = "QuorinAfxWnd";

MSG g_currentMessage = {};

// Temporary wrappers for windows no object is attached to.
struct TempWnd {
    CWnd wnd;
    TempWnd* pNext;
};
TempWnd* g_pTempWnds = nullptr;

} // namespace

AfxCurrentMessage::AfxCurrentMessage(const MSG& msg) : m_saved(g_currentMessage)
{
    g_currentMessage = msg;
}

AfxCurrentMessage::~AfxCurrentMessage()
{
    g_currentMessage = m_saved;
}

const MSG& AfxCurrentMessage::Get()
{
    return g_currentMessage;
}

CWnd::CWnd() : m_hWnd(nullptr), m_pfnSuper(nullptr) {}

CWnd::~CWnd()
{
    // The windows of this application belong to their dialogs, which destroy
    // them; a wrapper going away only lets go of its handle.
    if (m_pfnSuper != nullptr) {
        UnsubclassWindow();
    } else if (m_hWnd != nullptr) {
        Detach();
    }
}

CWnd* CWnd::FromHandlePermanent(HWND hWnd)
{
    if (hWnd == nullptr) {
        return nullptr;
    }
    return static_cast<CWnd*>(::GetPropA(hWnd, kPermanentProperty));
}

CWnd* CWnd::FromHandle(HWND hWnd)
{
    if (hWnd == nullptr) {
        return nullptr;
    }
    if (CWnd* pWnd = FromHandlePermanent(hWnd)) {
        return pWnd;
    }
    for (TempWnd* pTemp = g_pTempWnds; pTemp != nullptr; pTemp = pTemp->pNext) {
        if (pTemp->wnd.m_hWnd == hWnd) {
            return &pTemp->wnd;
        }
    }
    TempWnd* pTemp = new TempWnd{};
    pTemp->wnd.m_hWnd = hWnd;
    pTemp->pNext = g_pTempWnds;
    g_pTempWnds = pTemp;
    return &pTemp->wnd;
}

void CWnd::DeleteTempMap()
{
    while (g_pTempWnds != nullptr) {
        TempWnd* pTemp = g_pTempWnds;
        g_pTempWnds = pTemp->pNext;
        pTemp->wnd.m_hWnd = nullptr; // a temporary never owned its window
        delete pTemp;
    }
}

BOOL CWnd::Attach(HWND hWndNew)
{
    if (hWndNew == nullptr || m_hWnd != nullptr || FromHandlePermanent(hWndNew) != nullptr) {
        return FALSE;
    }
    m_hWnd = hWndNew;
    ::SetPropA(hWndNew, kPermanentProperty, this);
    return TRUE;
}

HWND CWnd::Detach()
{
    HWND hWnd = m_hWnd;
    if (hWnd != nullptr) {
        ::RemovePropA(hWnd, kPermanentProperty);
        m_hWnd = nullptr;
    }
    return hWnd;
}

void CWnd::DetachChildren()
{
    ::EnumChildWindows(
        m_hWnd,
        [](HWND hWndChild, LPARAM /*lParam*/) -> BOOL {
            CWnd* pWnd = FromHandlePermanent(hWndChild);
            if (pWnd != nullptr && pWnd->m_pfnSuper == nullptr) {
                pWnd->Detach();
            }
            return TRUE;
        },
        0);
}

bool CWnd::HasOwnMessageMap() const
{
    return GetMessageMap() != CWnd::GetThisMessageMap();
}

BOOL CWnd::SubclassWindow(HWND hWnd)
{
    if (!Attach(hWnd)) {
        return FALSE;
    }
    m_pfnSuper = reinterpret_cast<WNDPROC>(::SetWindowLongPtrA(
        hWnd, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(&CWnd::SubclassProc)));
    return TRUE;
}

HWND CWnd::UnsubclassWindow()
{
    HWND hWnd = m_hWnd;
    if (hWnd != nullptr && m_pfnSuper != nullptr) {
        ::SetWindowLongPtrA(hWnd, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(m_pfnSuper));
    }
    m_pfnSuper = nullptr;
    Detach();
    return hWnd;
}

LRESULT CALLBACK CWnd::SubclassProc(HWND hWnd, UINT message, WPARAM wParam, LPARAM lParam)
{
    CWnd* pWnd = FromHandlePermanent(hWnd);
    if (pWnd == nullptr) {
        return ::DefWindowProcA(hWnd, message, wParam, lParam);
    }
    const LRESULT lResult = pWnd->WindowProc(message, wParam, lParam);
    if (message == WM_NCDESTROY) {
        pWnd->UnsubclassWindow();
    }
    return lResult;
}

LRESULT CWnd::WindowProc(UINT message, WPARAM wParam, LPARAM lParam)
{
    LRESULT lResult = 0;
    if (!OnWndMsg(message, wParam, lParam, &lResult)) {
        lResult = DefWindowProc(message, wParam, lParam);
    }
    return lResult;
}

LRESULT CWnd::DefWindowProc(UINT message, WPARAM wParam, LPARAM lParam)
{
    if (m_pfnSuper != nullptr) {
        return ::CallWindowProcA(m_pfnSuper, m_hWnd, message, wParam, lParam);
    }
    return ::DefWindowProcA(m_hWnd, message, wParam, lParam);
}

LRESULT CWnd::Default()
{
    const MSG& msg = AfxCurrentMessage::Get();
    return DefWindowProc(msg.message, msg.wParam, msg.lParam);
}

BOOL CWnd::OnWndMsg(UINT message, WPARAM wParam, LPARAM lParam, LRESULT* pResult)
{
    MSG msg = {};
    msg.hwnd = m_hWnd;
    msg.message = message;
    msg.wParam = wParam;
    msg.lParam = lParam;
    const AfxCurrentMessage current(msg);

    if (message == WM_COMMAND) {
        if (!OnCommand(wParam, lParam)) {
            return FALSE;
        }
        *pResult = 1;
        return TRUE;
    }
    // Every WM_CTLCOLOR* message reaches the one WM_CTLCOLOR entry.
    const UINT nMapMessage =
        (message >= WM_CTLCOLORMSGBOX && message <= WM_CTLCOLORSTATIC) ? WM_CTLCOLOR : message;
    const AFX_MSGMAP_ENTRY* pEntry = FindMessageEntry(nMapMessage);
    if (pEntry == nullptr) {
        return FALSE;
    }
    *pResult = pEntry->pfn(this, message, wParam, lParam);
    return TRUE;
}

BOOL CWnd::OnCommand(WPARAM wParam, LPARAM /*lParam*/)
{
    return OnCmdMsg(LOWORD(wParam), HIWORD(wParam));
}

CWnd* CWnd::GetDlgItem(int nID) const
{
    return FromHandle(::GetDlgItem(m_hWnd, nID));
}

void CWnd::GetDlgItem(int nID, HWND* phWnd) const
{
    *phWnd = ::GetDlgItem(m_hWnd, nID);
}

void CWnd::GetWindowText(CString& rString) const
{
    const int nLength = ::GetWindowTextLengthA(m_hWnd);
    ::GetWindowTextA(m_hWnd, rString.GetBuffer(nLength), nLength + 1);
    rString.ReleaseBuffer();
}

LRESULT CWnd::SendMessage(UINT message, WPARAM wParam, LPARAM lParam) const
{
    return ::SendMessageA(m_hWnd, message, wParam, lParam);
}

HICON CWnd::SetIcon(HICON hIcon, BOOL bBigIcon)
{
    return reinterpret_cast<HICON>(SendMessage(WM_SETICON, bBigIcon ? ICON_BIG : ICON_SMALL,
                                               reinterpret_cast<LPARAM>(hIcon)));
}

void CWnd::CenterWindow()
{
    HWND hWndOwner = ::GetWindow(m_hWnd, GW_OWNER);
    if (hWndOwner != nullptr && (!::IsWindowVisible(hWndOwner) || ::IsIconic(hWndOwner))) {
        hWndOwner = nullptr;
    }
    MONITORINFO monitor = {};
    monitor.cbSize = sizeof monitor;
    ::GetMonitorInfoA(::MonitorFromWindow(hWndOwner != nullptr ? hWndOwner : m_hWnd,
                                          MONITOR_DEFAULTTONEAREST),
                      &monitor);
    const RECT area = monitor.rcWork;
    RECT center = area;
    if (hWndOwner != nullptr) {
        ::GetWindowRect(hWndOwner, &center);
    }
    RECT window = {};
    GetWindowRect(&window);
    const int width = window.right - window.left;
    const int height = window.bottom - window.top;
    int x = (center.left + center.right) / 2 - width / 2;
    int y = (center.top + center.bottom) / 2 - height / 2;
    // Keep the whole window on the work area where it fits.
    if (x + width > area.right) {
        x = area.right - width;
    }
    if (x < area.left) {
        x = area.left;
    }
    if (y + height > area.bottom) {
        y = area.bottom - height;
    }
    if (y < area.top) {
        y = area.top;
    }
    ::SetWindowPos(m_hWnd, nullptr, x, y, -1, -1, SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
}

BOOL CWnd::UpdateData(BOOL bSaveAndValidate)
{
    CDataExchange dx(this, bSaveAndValidate);
    DoDataExchange(&dx);
    return TRUE;
}

void CWnd::DoDataExchange(CDataExchange* /*pDX*/) {}

HBRUSH CWnd::OnCtlColor(CDC* /*pDC*/, CWnd* /*pWnd*/, UINT /*nCtlColor*/)
{
    return reinterpret_cast<HBRUSH>(Default());
}

void CWnd::OnPaint()
{
    Default();
}

BOOL CWnd::OnHelpInfo(HELPINFO* /*pHelpInfo*/)
{
    // F1 in a top-level window becomes the ID_HELP command of the main
    // window, which routes it on to the application.
    if ((GetStyle() & WS_CHILD) == 0) {
        CWnd* pMainWnd = AfxGetMainWnd();
        if (pMainWnd != nullptr && pMainWnd->m_hWnd != nullptr && ::GetKeyState(VK_SHIFT) >= 0 &&
            ::GetKeyState(VK_CONTROL) >= 0 && ::GetKeyState(VK_MENU) >= 0) {
            pMainWnd->SendMessage(WM_COMMAND, ID_HELP);
            return TRUE;
        }
    }
    return static_cast<BOOL>(Default());
}

LRESULT afx_detail::CallCtlColor(CCmdTarget* pTarget, UINT message, WPARAM wParam, LPARAM lParam,
                                 HBRUSH (*call)(CCmdTarget*, CDC*, CWnd*, UINT))
{
    CDC dc;
    dc.m_hDC = reinterpret_cast<HDC>(wParam);
    CWnd* pWnd = CWnd::FromHandle(reinterpret_cast<HWND>(lParam));
    const UINT nCtlColor = message - WM_CTLCOLORMSGBOX; // CTLCOLOR_MSGBOX is 0
    return reinterpret_cast<LRESULT>(call(pTarget, &dc, pWnd, nCtlColor));
}
