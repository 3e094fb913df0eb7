// The application object and the globals that lead to it.
#include "afxwinapp.h"

#include "afxwnd.h"

#include <cstring>

IMPLEMENT_DYNAMIC(CWinApp, CCmdTarget)

BEGIN_MESSAGE_MAP(CWinApp, CCmdTarget)
END_MESSAGE_MAP()

namespace {

CWinApp* g_pApp = nullptr;

const char kHelpFileExtension[] = ".HLP";

} // namespace

CWinApp::CWinApp(LPCSTR lpszAppName)
    : m_pMainWnd(nullptr), m_hInstance(::GetModuleHandleA(nullptr)), m_pszAppName(lpszAppName),
      m_pszRegistryKey(nullptr), m_pszProfileName(nullptr), m_pszHelpFilePath(nullptr),
      m_szModuleName(), m_szHelpFilePath()
{
    g_pApp = this;
    SetNamesFromModule();
}

CWinApp::~CWinApp()
{
    if (g_pApp == this) {
        g_pApp = nullptr;
    }
}

void CWinApp::SetNamesFromModule()
{
    char szPath[MAX_PATH] = {};
    const DWORD nLength = ::GetModuleFileNameA(m_hInstance, szPath, MAX_PATH);
    if (nLength == 0 || nLength >= MAX_PATH) {
        return;
    }
    // The help file sits beside the program, with its extension.
    char* pExtension = std::strrchr(szPath, '.');
    char* pName = std::strrchr(szPath, '\\');
    pName = pName != nullptr ? pName + 1 : szPath;
    if (pExtension != nullptr && pExtension > pName &&
        static_cast<size_t>(pExtension - szPath) + sizeof kHelpFileExtension <= MAX_PATH) {
        std::memcpy(m_szHelpFilePath, szPath, static_cast<size_t>(pExtension - szPath));
        std::memcpy(m_szHelpFilePath + (pExtension - szPath), kHelpFileExtension,
                    sizeof kHelpFileExtension);
        m_pszHelpFilePath = m_szHelpFilePath;
        *pExtension = '\0';
    }
    std::memcpy(m_szModuleName, pName, std::strlen(pName) + 1);
    if (m_pszAppName == nullptr) {
        m_pszAppName = m_szModuleName;
    }
}

BOOL CWinApp::InitInstance()
{
    return TRUE;
}

int CWinApp::ExitInstance()
{
    return 0;
}

void CWinApp::SetRegistryKey(LPCSTR lpszRegistryKey)
{
    m_pszRegistryKey = lpszRegistryKey;
    m_pszProfileName = m_pszAppName;
}

HICON CWinApp::LoadIcon(UINT nIDResource) const
{
    return ::LoadIconW(AfxGetResourceHandle(), MAKEINTRESOURCEW(nIDResource));
}

HICON CWinApp::LoadStandardIcon(LPCSTR lpszIconName) const
{
    return ::LoadIconA(nullptr, lpszIconName);
}

void CWinApp::OnHelp()
{
    CWnd* pMainWnd = AfxGetMainWnd();
    ::WinHelpA(pMainWnd != nullptr ? pMainWnd->m_hWnd : nullptr, m_pszHelpFilePath, HELP_FINDER, 0);
}

CWinApp* AfxGetApp()
{
    return g_pApp;
}

CWnd* AfxGetMainWnd()
{
    return g_pApp != nullptr ? g_pApp->m_pMainWnd : nullptr;
}

HINSTANCE AfxGetInstanceHandle()
{
    return g_pApp != nullptr ? g_pApp->m_hInstance : ::GetModuleHandleA(nullptr);
}

HINSTANCE AfxGetResourceHandle()
{
    return AfxGetInstanceHandle();
}
