// The application object of the dialog test runner: the dialogs load their
// icons through it and take their owner from its main window.
#include <afxwin.h>

CWinApp theTestApp("Quorin Sync Options tests");
