// The program's entry point: the application object built during static
// initialisation runs InitInstance once; FALSE ends the process.
#include "afxwinapp.h"

int WINAPI WinMain(HINSTANCE hInstance, HINSTANCE /*hPrevInstance*/, LPSTR /*lpCmdLine*/,
                   int /*nCmdShow*/)
{
    CWinApp* pApp = AfxGetApp();
    if (pApp == nullptr) {
        return -1;
    }
    pApp->m_hInstance = hInstance;
    if (!pApp->InitInstance()) {
        return pApp->ExitInstance();
    }
    return pApp->Run();
}
