#pragma once
// The chosen plug-in's own checks, beside the readme's: its file still
// there and still the one 1004 names, its masters and its archive in the
// requirements. They read the header, and write nothing.

#include <string_view>
#include <vector>

#include "output/ReadmeChecks.h"

// Nothing when the form remembers no plug-in.
void AddPluginChecks(std::vector<ReadmeCheck>& checks, const ReadmeForm& form, std::string_view baseFolder);

// CheckReadme's checks, then the plug-in's: what the preview and the
// renderer list.
std::vector<ReadmeCheck> CheckRelease(const ReadmeForm& form, const DatabaseRecord& record,
                                      std::string_view baseFolder);
