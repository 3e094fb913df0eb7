// The framework as the application includes it, in MFC's name.
#pragma once

#include <windows.h>

#include "afxres.h"
#include "afxobj.h"
#include "afxmsg.h"
#include "afxcmd.h"
#include "afxstr.h"
#include "afxdc.h"
#include "afxwnd.h"
#include "afxctl.h"
#include "afxdd.h"
#include "afxdlg.h"
#include "afxwinapp.h"
