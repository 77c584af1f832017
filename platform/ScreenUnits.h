#pragma once
// The platform layer's dialog units and fixed lengths as a window's screen shows them.
// Pages include this; the build's platform layer provides it.

#ifdef _WIN32
#include "platform/win32/DialogUnits.h"
#else
#include "platform/qt/DialogUnits.h"
#endif
