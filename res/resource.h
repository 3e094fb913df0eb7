// Resource and control identifiers, shared by the resource script and the
// code. Kept to plain #defines so that windres can read it.
#pragma once

#define IDD_SYNCOPTIONS_DIALOG 102
#define IDR_MAINFRAME 128
#define IDD_SYNC_WARNING 129

#define IDC_ENABLE_SYNC 1000
#define IDC_FRAMES_NUMBER 1002
#define IDC_INPUT_FRAME 1003
#define IDC_INPUT_LINE 1004
#define IDC_INPUT_SCANSTART 1005
#define IDC_WARNING_ICON 1006
#define IDC_WARNING_TEXT 1007

#ifndef IDC_STATIC
#define IDC_STATIC (-1)
#endif

