// The warning dialog: the system's exclamation icon and the red warning text.
#include "sync_options_warning_message.h"

namespace {

const char kWarningText[] =
    "\"External input Synchronization\"\n mode  has been chosen!\nIn this mode system will wait "
    "trigger signal with correct length, period and amplitude, described in \"Quorin IO Module "
    "User Guide\".";

const COLORREF kWarningTextColour = RGB(192, 0, 0);

} // namespace

IMPLEMENT_DYNAMIC(CSyncOptionsWarningMessage, CDialog)

BEGIN_MESSAGE_MAP(CSyncOptionsWarningMessage, CDialog)
    ON_WM_CTLCOLOR()
END_MESSAGE_MAP()

CSyncOptionsWarningMessage::CSyncOptionsWarningMessage(CWnd* pParent) : CDialog(IDD, pParent) {}

void CSyncOptionsWarningMessage::DoDataExchange(CDataExchange* pDX)
{
    CDialog::DoDataExchange(pDX);
    DDX_Control(pDX, IDC_WARNING_TEXT, m_staticText);
    DDX_Control(pDX, IDC_WARNING_ICON, m_staticIcon);
}

BOOL CSyncOptionsWarningMessage::OnInitDialog()
{
    CDialog::OnInitDialog();
    m_staticIcon.SetIcon(AfxGetApp()->LoadStandardIcon(IDI_EXCLAMATION));
    m_staticText.SetWindowText(kWarningText);
    return TRUE; // the focus goes to the first tab stop, "Agree"
}

HBRUSH CSyncOptionsWarningMessage::OnCtlColor(CDC* pDC, CWnd* pWnd, UINT nCtlColor)
{
    HBRUSH hbr = CDialog::OnCtlColor(pDC, pWnd, nCtlColor);
    if (pWnd == &m_staticText) {
        pDC->SetTextColor(kWarningTextColour);
    }
    return hbr;
}
