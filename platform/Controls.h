#pragma once
// The platform layer's the controls a layout makes.
// Pages include this; the build's platform layer provides it.

#ifdef _WIN32
#include "platform/win32/Controls.h"
#else
#include "platform/qt/Controls.h"
#endif
