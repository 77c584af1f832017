#pragma once
// The platform layer's a dialog page built from a layout table, its controls by id.
// Pages include this; the build's platform layer provides it.

#ifdef _WIN32
#include "platform/win32/CDialog.h"
#else
#include "platform/qt/CDialog.h"
#endif
