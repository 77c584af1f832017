#pragma once
// Takes the snapshot of the two form pages that one Save works from.

#include "readme/ReadmeForm.h"

class CPluginPage;
class CExtrasPage;

// Reads the controls by page and id; changes nothing on the pages.
ReadmeForm CaptureReadmeForm(const CPluginPage& plugin, const CExtrasPage& extras);
