// F1 in a dialog reaches the application's ID_HELP handler: WM_HELP becomes
// the main window's ID_HELP command, which the dialog routes on to the
// application object.
#include <afxwin.h>

#include "resource.h"
#include "ui_driver.h"

#include <gtest/gtest.h>

namespace {

class CHelpRecordingApp : public CWinApp {
public:
    int m_nHelp = 0;

protected:
    void OnHelpRecorded() { ++m_nHelp; }

    DECLARE_MESSAGE_MAP()
};

BEGIN_MESSAGE_MAP(CHelpRecordingApp, CWinApp)
    ON_COMMAND(ID_HELP, &CHelpRecordingApp::OnHelpRecorded)
END_MESSAGE_MAP()

CHelpRecordingApp theApp;

TEST(HelpRouting, HelpInADialogReachesTheApplication)
{
    CDialog dialog(IDD_SYNC_WARNING);
    theApp.m_pMainWnd = &dialog;
    UiDriver::Run([&dialog] { return dialog.DoModal(); },
                  [](UiDriver& ui) {
                      HWND hDlg = ui.WaitForWindow("WARNING!");
                      ASSERT_NE(hDlg, nullptr);
                      HELPINFO info = {};
                      info.cbSize = sizeof info;
                      info.iContextType = HELPINFO_WINDOW;
                      info.hItemHandle = hDlg;
                      ::SendMessageA(hDlg, WM_HELP, 0, reinterpret_cast<LPARAM>(&info));
                      EXPECT_EQ(theApp.m_nHelp, 1);
                      // A control's id is not a command: it stays with the dialog.
                      ::SendMessageA(hDlg, WM_COMMAND, MAKEWPARAM(IDC_WARNING_TEXT, 0), 0);
                      EXPECT_EQ(theApp.m_nHelp, 1);
                  });
    theApp.m_pMainWnd = nullptr;
}

TEST(Application, NamedAfterItsModuleWithoutAName)
{
    CWinApp* pApp = AfxGetApp();
    ASSERT_EQ(pApp, &theApp);
    EXPECT_STREQ(pApp->m_pszAppName, "framework_tests");
    pApp->SetRegistryKey("Local AppWizard-Generated Applications");
    EXPECT_STREQ(pApp->m_pszRegistryKey, "Local AppWizard-Generated Applications");
    EXPECT_STREQ(pApp->m_pszProfileName, "framework_tests");
    EXPECT_NE(pApp->LoadIcon(IDR_MAINFRAME), nullptr);
    EXPECT_EQ(pApp->LoadStandardIcon(IDI_EXCLAMATION), ::LoadIconA(nullptr, IDI_EXCLAMATION));
}

} // namespace
