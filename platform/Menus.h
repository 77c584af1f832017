#pragma once
// The platform layer's pop-up menus drawn from menu tables.
// Pages include this; the build's platform layer provides it.

#ifdef _WIN32
#include "platform/win32/Menus.h"
#else
#include "platform/qt/Menus.h"
#endif
