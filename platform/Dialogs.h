#pragma once
// The platform layer's message boxes, the beep and the file dialogs.
// Pages include this; the build's platform layer provides it.

#ifdef _WIN32
#include "platform/win32/Dialogs.h"
#else
#include "platform/qt/Dialogs.h"
#endif
