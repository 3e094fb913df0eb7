// CQuorinSyncOptionsApp: the application object. It runs the main options
// dialog once and then ends the program.
#pragma once

#include <afxwin.h>

class CQuorinSyncOptionsApp : public CWinApp {
public:
    CQuorinSyncOptionsApp();

    BOOL InitInstance() override;

    DECLARE_MESSAGE_MAP()
};

extern CQuorinSyncOptionsApp theApp;
