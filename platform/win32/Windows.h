#pragma once
// windows.h for the Win32 layer. Its MulDiv would clash with the platform's
// own (platform/DialogUnits.h, the same rounding): it is declared here under
// another name, and the layer calls the platform's.

#define MulDiv WindowsMulDiv
#include <windows.h>
#undef MulDiv
// The layer calls the W functions by name; these generic macros would
// rename the interface's own LoadMenu, a seam's MessageBox and the field
// editor's GetWindowText, which the pages compile without windows.h.
#undef LoadMenu
#undef MessageBox
#undef GetWindowText
