#pragma once
// The platform layer's the controls a layout makes.
// Pages include this; the build's platform layer provides it.

#include "platform/qt/Controls.h"
