#pragma once
// What either system's preview shows of the form: a snapshot of it taken
// when the preview asks, and its checks as the list's lines, each line
// leading to the field it names.

#include <functional>
#include <vector>

#include "output/DatabaseRecord.h"
#include "output/ReadmeChecks.h"
#include "readme/ReadmeForm.h"
#include "text/Text.h"

struct PreviewSnapshot {
    ReadmeForm form;
    DatabaseRecord record;
    FilePath baseFolder;  // relative file names are taken against it
};
using PreviewCapture = std::function<PreviewSnapshot()>;

class PreviewChecks {
public:
    void Update(const PreviewSnapshot& now);
    const std::vector<ReadmeCheck>& checks() const { return m_checks; }
    // One line a check; the one line that there is nothing to fix when none.
    std::vector<Text> Lines() const;
    // The field of the check on this line; nullptr off the checks.
    const CheckedField* FieldOfLine(int line) const;
    // Whether a check offers this; the window then offers it beside the list.
    bool Offers(CheckOffer offer) const;

private:
    std::vector<ReadmeCheck> m_checks;
};
