#pragma once
// The platform layer's dialog units and fixed lengths as a window's screen shows them.
// Pages include this; the build's platform layer provides it.

#include "platform/qt/DialogUnits.h"
