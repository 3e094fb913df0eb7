// The application object and its start-up routine.
#include "quorin_sync_options_app.h"

#include "elevated_save.h"
#include "quorin_sync_options_dlg.h"
#include "win32_event_log.h"
#include "win32_registry.h"
#include "win32_save_lock.h"

BEGIN_MESSAGE_MAP(CQuorinSyncOptionsApp, CWinApp)
    ON_COMMAND(ID_HELP, &CWinApp::OnHelp)
END_MESSAGE_MAP()

CQuorinSyncOptionsApp::CQuorinSyncOptionsApp() = default;

CQuorinSyncOptionsApp theApp;

BOOL CQuorinSyncOptionsApp::InitInstance()
{
    // Before anything can load a DLL: a DLL loaded later by name comes from
    // system32 only, never from the program's own folder (a copy in
    // Downloads may have one planted beside it) or the current one.
    ::SetDefaultDllDirectories(LOAD_LIBRARY_SEARCH_SYSTEM32);
    CWinApp::InitInstance();
    SetRegistryKey("Local AppWizard-Generated Applications");

    Win32Registry registry;
    // The installed quorin-sync.exe saves as administrator when the user's
    // own rights are refused, and only when this is the installed program:
    // a copy elsewhere may stand beside a quorin-sync.exe anyone put there.
    ShellElevatedSaver elevatedSaver;
    // One save at a time, with quorin-sync and any other program's.
    Win32SaveLock saveLock;
    // Every save on record in the Application log.
    Win32EventLogTrail trail;
    CQuorinSyncOptionsDlg dlg(registry);
    dlg.SetElevatedSaver(&elevatedSaver);
    dlg.SetSaveLock(&saveLock);
    dlg.SetSaveTrail(&trail);
    m_pMainWnd = &dlg;
    dlg.DoModal(); // it has saved, or not, by the time it returns
    m_pMainWnd = nullptr; // the dialog object ends with this scope

    // No message loop: the program ends here.
    return FALSE;
}
