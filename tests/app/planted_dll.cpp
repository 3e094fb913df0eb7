// A DLL planted beside a program: loading it is all it takes to run code.
#include <windows.h>

BOOL WINAPI DllMain(HINSTANCE /*hInstance*/, DWORD /*nReason*/, LPVOID /*pReserved*/)
{
    return TRUE;
}
