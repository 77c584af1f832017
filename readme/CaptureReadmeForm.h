#pragma once
// Takes the snapshot of the two form pages that one Save works from.

#include "readme/ControlValues.h"
#include "readme/ReadmeForm.h"

// Reads the controls by page and id; changes nothing on the pages.
ReadmeForm CaptureReadmeForm(const ControlValues& plugin, const ControlValues& extras);
