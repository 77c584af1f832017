#pragma once
// The platform layer's message boxes, the beep and the file dialogs.
// Pages include this; the build's platform layer provides it.

#include "platform/qt/Dialogs.h"
