// The baselines for start-up and size: the simplest Win32 program that shows
// a dialog from a template, built with the same toolchain and flags as the
// tool. Built twice: with a two-button template of the same size, and with
// the tool's own resources and main template (no framework, no registry), to
// tell the cost of the dialog's content from the cost of the program.
#include <windows.h>

#ifdef QUORIN_SAME_TEMPLATE
#include "resource.h"
#define IDD_MINIMAL_DIALOG IDD_SYNCOPTIONS_DIALOG
#else
#include "minimal_dialog.h"
#endif

namespace {

INT_PTR CALLBACK DialogProc(HWND hDlg, UINT message, WPARAM wParam, LPARAM /*lParam*/)
{
    if (message == WM_INITDIALOG) {
        return TRUE;
    }
    if (message == WM_COMMAND && (LOWORD(wParam) == IDOK || LOWORD(wParam) == IDCANCEL)) {
        ::EndDialog(hDlg, LOWORD(wParam));
        return TRUE;
    }
    return FALSE;
}

} // namespace

int WINAPI WinMain(HINSTANCE hInstance, HINSTANCE /*hPrevInstance*/, LPSTR /*lpCmdLine*/,
                   int /*nCmdShow*/)
{
    return static_cast<int>(::DialogBoxParamA(hInstance, MAKEINTRESOURCEA(IDD_MINIMAL_DIALOG),
                                              nullptr, &DialogProc, 0));
}
