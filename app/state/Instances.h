#pragma once
// Further windows of the program, each a process of its own, so that each
// holds its draft's lock for exactly as long as it runs.

#include <string_view>

// The option that starts a window for one orphaned draft.
inline constexpr std::string_view kRestoreDraftOption = "--restore-draft";

// Starts this program again with kRestoreDraftOption and id, not waiting for
// it; false when the system refuses.
bool StartWindowForDraft(std::string_view id);
