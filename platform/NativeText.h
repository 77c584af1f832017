#pragma once
// The platform layer's the conversion between the system's text and the program's.
// Pages include this; the build's platform layer provides it.

#ifdef _WIN32
#include "platform/win32/Win32Text.h"
#else
#include "platform/qt/QtText.h"
#endif
