// The program's entry point: the application object built during static
// initialisation runs InitInstance once, and the process ends.
#include "afxwinapp.h"

int WINAPI WinMain(HINSTANCE hInstance, HINSTANCE /*hPrevInstance*/, LPSTR /*lpCmdLine*/,
                   int /*nCmdShow*/)
{
    CWinApp* pApp = AfxGetApp();
    if (pApp == nullptr) {
        return -1;
    }
    pApp->m_hInstance = hInstance;
    pApp->InitInstance();
    return pApp->ExitInstance();
}
