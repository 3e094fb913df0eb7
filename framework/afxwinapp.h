// CWinApp: the one application object, registered when it is constructed,
// and the globals that lead to it.
#pragma once

#include "afxcmd.h"
#include "afxres.h"

class CWnd;

class CWinApp : public CCmdTarget {
    DECLARE_DYNAMIC(CWinApp)

public:
    // Without a name the application takes the module's file name.
    explicit CWinApp(LPCSTR lpszAppName = nullptr);
    ~CWinApp() override;

    // The program runs what it has to run here (a modal dialog); the layer
    // has no message loop of its own, so the program ends when this returns.
    virtual BOOL InitInstance();
    virtual int ExitInstance();

    // Records the per-user profile root; nothing is read or written there.
    void SetRegistryKey(LPCSTR lpszRegistryKey);

    HICON LoadIcon(UINT nIDResource) const;
    HICON LoadStandardIcon(LPCSTR lpszIconName) const;

    afx_msg void OnHelp();

    CWnd* m_pMainWnd;
    HINSTANCE m_hInstance;
    LPCSTR m_pszAppName;
    LPCSTR m_pszRegistryKey;
    LPCSTR m_pszProfileName;
    LPCSTR m_pszHelpFilePath;

    DECLARE_MESSAGE_MAP()

private:
    void SetNamesFromModule();

    char m_szModuleName[MAX_PATH];
    char m_szHelpFilePath[MAX_PATH];
};

CWinApp* AfxGetApp();
CWnd* AfxGetMainWnd();
HINSTANCE AfxGetResourceHandle();
HINSTANCE AfxGetInstanceHandle();
